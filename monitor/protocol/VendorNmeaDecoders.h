#pragma once
// Version sentences of the other makers whose NMEA receivers the monitor
// drives. Each identifies the receiver: firmware record 0 through
// CModel::IdentifyReceiver (label "VR"), and, while the model knows no
// product name, a product record of its own with code 9999 and the same name.
// Each takes the sentence split into fields and a model (never null); a
// sentence without what it looks for stores nothing.
class CModel;
class NmeaFields;

// Product code of a receiver identified by another maker's version sentence.
enum : int { OTHER_MAKER_PRODUCT_CODE = 9999 };

// "$PSRFTXT" with "Version:" (any case): "SiRF " + the text after it.
void DecodeSirfText(const NmeaFields& sentence, CModel* model);
// Any sentence with "NAVMAN SW" and "VERSION" (any case): the text after
// "VERSION ".
void DecodeNavmanVersion(const NmeaFields& sentence, CModel* model);
// "$PNMRX600": field 2.
void DecodeNemerixVersion(const NmeaFields& sentence, CModel* model);
// "$PQNQ?,VERS": "QinetiQ " + field 2, version "m.nn" in field 3, date
// "Mmm dd yyyy" in field 5, the product's value in field 8.
void DecodeQinetiqVersion(const NmeaFields& sentence, CModel* model);
// "$PSTMVER": the library version "GPSLIB_vv.vv.vv" in field 1.
void DecodeTycoVersion(const NmeaFields& sentence, CModel* model);
// "$GPTXT" naming an ANTARIS receiver.
void DecodeUbloxVersion(const NmeaFields& sentence, CModel* model);
// "$PUNV,CFG_R,9".
void DecodeUnavVersion(const NmeaFields& sentence, CModel* model);

// Where the lower-cased sentence first holds the lower-case needle, or -1.
int FindNoCase(const NmeaFields& sentence, const char* needle);

// The same search for one fixed text holding a character that is not a
// letter (for the texts looked for in every sentence): the search jumps
// from one occurrence of that character to the next, which sentences rarely
// hold.
class NoCaseText {
public:
    // needle: lower-case, with a character other than a letter, kept (not copied).
    explicit NoCaseText(const char* needle);
    int FindIn(const NmeaFields& sentence) const;

private:
    const char* m_needle;
    int m_length;
    int m_anchor;  // where the needle has the character that is not a letter
};
