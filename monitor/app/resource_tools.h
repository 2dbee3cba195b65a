// Resource ids of the tool windows and settings pages (res/tools.rc).
#pragma once
