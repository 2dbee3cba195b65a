// Resource ids of the raw data monitor (res/rawoutput.rc).
#pragma once
