// Resource ids of the position window and its plot page (res/position.rc).
#pragma once
