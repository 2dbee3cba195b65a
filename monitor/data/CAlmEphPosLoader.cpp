#include "data/CAlmEphPosLoader.h"

bool CAlmEphPosLoader::Start(int /*operation*/, const CString& /*file*/) { return false; }

void CAlmEphPosLoader::Cancel() {}
