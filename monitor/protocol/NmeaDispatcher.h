#pragma once
// Decodes accepted NMEA sentences into the model and reports which maker's
// dialect a sentence revealed.
#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"

class CModel;

// Reads at most `length` bytes of the sentence (CR LF included). The standard
// sentences of the "GP" and "GN" talkers go to their decoders (other talkers
// are not decoded), the maker's "$PZUL" replies to theirs, other makers'
// version sentences to the decoders in VendorNmeaDecoders.h. model may be
// null: the dialect is still reported, nothing is decoded.
//
// dialect: in, the link's current vendor sub-mode; out, the dialect the
// sentence revealed (0 for the maker's own "$PZUL"), written only when the
// sentence names one. The caller decides whether the link may switch to it.
void DispatchNmeaSentence(const BYTE* sentence, int length, CModel* model, ProtocolKind& dialect);
