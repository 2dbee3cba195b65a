// Resource ids of the receiver configuration window and its pages
// (res/rcvrconfig.rc).
#pragma once
