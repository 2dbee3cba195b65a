// Resource ids of the position map page, its settings and the stand-alone
// map window (res/posmap.rc).
#pragma once

#define IDD_POSMAP_PAGE 5090
