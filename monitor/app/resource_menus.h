// Resource ids of the access-code and about dialogs (res/menus.rc).
#pragma once
