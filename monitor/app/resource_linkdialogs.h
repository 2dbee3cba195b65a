// Resource ids of the playback and port dialogs (res/linkdialogs.rc).
#pragma once
