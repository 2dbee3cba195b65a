#pragma once
// Decodes accepted NMEA sentences into the model and reports which maker's
// dialect a sentence revealed.
#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"

class CModel;

// dialect: in, the link's current vendor sub-mode; out, the dialect the
// sentence revealed (unchanged when it revealed none). The caller decides
// whether the link may switch to it. Filled in with the NMEA decoders; until
// then it ignores every sentence and leaves dialect as it is.
void DispatchNmeaSentence(const BYTE* sentence, int length, CModel* model, ProtocolKind& dialect);
