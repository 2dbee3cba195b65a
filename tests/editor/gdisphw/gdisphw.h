/* The tests' own minimal declarations of the embedded graphics library's
   font types, only as far as the generated font header, symbol file and
   code-page file use them, so that their C can be compiled on the host. */
#ifndef GDISPHW_H
#define GDISPHW_H

#ifndef NULL
#define NULL ((void *)0)
#endif

/* Font data lives in constant (code) memory on the target. */
#define GCODE const
#define FCODE

typedef unsigned char SGUCHAR;

/* Code page: {range count, default character}, then the ranges. */
typedef struct {
  unsigned long numentries;
  unsigned long def_wch;
} GCPHEAD;

typedef struct {
  unsigned long min;  /* first character */
  unsigned long max;  /* last character */
  unsigned long idx;  /* symbol of the first character */
} GCP_RANGE;

typedef struct {
  GCPHEAD chp;
  GCP_RANGE cpr[1];
} GCODEPAGE;

/* Symbol heads: black and white, and colour with its bits per pixel. */
typedef struct {
  unsigned short cxpix;
  unsigned short cypix;
} GSYMHEAD;

typedef struct {
  unsigned short reserved;
  unsigned short bits;
  unsigned short cxpix;
  unsigned short cypix;
} GCSYMHEAD;

typedef struct {
  GSYMHEAD sh;
  SGUCHAR b[1];
} GSYMBOL;

typedef GCODE GSYMBOL FCODE *PGSYMBOL;
typedef GCODE GCODEPAGE FCODE *PGCODEPAGE;

typedef struct {
  unsigned int symwidth;
  unsigned int symheight;
  unsigned int symsize;
  PGSYMBOL psymbols;
  unsigned int numsym;
  PGCODEPAGE pcodepage;
} GFONT;

#endif
