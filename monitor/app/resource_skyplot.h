// Resource ids of the sky plot (res/skyplot.rc).
#pragma once
