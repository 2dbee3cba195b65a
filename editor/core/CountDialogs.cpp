#include "core/CountDialogs.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/SettingsTable.h"
#include "views/CodePage.h"

#ifdef _WIN32
#include "core/CountDialogs_win.h"
#endif

namespace dw {

// ---------------------------------------------------------------------------
// Hooks and the Run functions.

namespace {
PixelSizeHook g_pixelSizeHook;
AddRemoveColumnRowHook g_addRemoveHook;
PixelScrollHook g_pixelScrollHook;
ElementInsertHook g_elementInsertHook;
ElementDeleteHook g_elementDeleteHook;
}  // namespace

void SetPixelSizeHook(PixelSizeHook hook) { g_pixelSizeHook = std::move(hook); }
void SetAddRemoveColumnRowHook(AddRemoveColumnRowHook hook) { g_addRemoveHook = std::move(hook); }
void SetPixelScrollHook(PixelScrollHook hook) { g_pixelScrollHook = std::move(hook); }
void SetElementInsertHook(ElementInsertHook hook) { g_elementInsertHook = std::move(hook); }
void SetElementDeleteHook(ElementDeleteHook hook) { g_elementDeleteHook = std::move(hook); }

// Without a window system there is nobody to ask: every dialog is cancelled.
#ifndef _WIN32
static int ShowPixelSizeDialog(PixelSizeModel&) { return 0; }
static int ShowAddRemoveColumnRowDialog(AddRemoveModel&) { return 0; }
static int ShowPixelScrollDialog(RepeatCountModel&) { return 0; }
static int ShowElementCountDialog(ElementCountModel&) { return 0; }
#endif

int RunPixelSizeDialog() {
  if (g_pixelSizeHook) return g_pixelSizeHook();
  PixelSizeModel m;
  m.Load(g_ed->cfg);
  if (ShowPixelSizeDialog(m) != 1) return 0;
  m.Store(g_ed->cfg);
  return 1;
}

int RunAddRemoveColumnRowDialog(int mode, int32_t* count) {
  if (g_addRemoveHook) return g_addRemoveHook(mode, count);
  AddRemoveModel m;
  m.Load(g_ed->cfg, mode);
  if (ShowAddRemoveColumnRowDialog(m) != 1) {
    *count = 0;
    return 0;
  }
  m.Store(g_ed->cfg);
  *count = m.Result();
  return 1;
}

int RunPixelScrollDialog(int32_t* count) {
  if (g_pixelScrollHook) return g_pixelScrollHook(count);
  RepeatCountModel m;
  if (ShowPixelScrollDialog(m) != 1) {
    *count = 0;
    return 0;
  }
  *count = m.Result();
  return 1;
}

int RunElementInsertDialog(int32_t* count, int32_t* firstChar) {
  if (g_elementInsertHook) return g_elementInsertHook(count, firstChar);
  DataSet& s = g_ed->Cur();
  ElementCountModel m;
  m.Load(true, *count, *firstChar, s.useHexInCodePage != 0);
  if (ShowElementCountDialog(m) != 1) return 0;
  *count = m.count;
  *firstChar = m.start;
  s.useHexInCodePage = m.hex ? 1 : 0;
  return 1;
}

int RunElementDeleteDialog(int32_t* count) {
  if (g_elementDeleteHook) return g_elementDeleteHook(count);
  DataSet& s = g_ed->Cur();
  ElementCountModel m;
  m.Load(false, *count, 0, s.useHexInCodePage != 0);
  if (ShowElementCountDialog(m) != 1) return 0;
  *count = m.count;
  s.useHexInCodePage = m.hex ? 1 : 0;
  g_ed->cfg.elementDeleteMethod = m.DeleteMethod();
  return 1;
}

// ---------------------------------------------------------------------------
// Parsing and the settings ranges.

bool ParseFieldInt(const char* text, int32_t* value) {
  if (!text) return false;
  while (*text == ' ' || *text == '\t') ++text;
  const char* digits = text;
  if (*digits == '-' || *digits == '+') ++digits;
  if (*digits < '0' || *digits > '9') return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

namespace {

// The edit fields of the element dialogs hold at most this much text.
constexpr size_t kNumberText = 125;

const SettingRow* PixelRow(const char* key) {
  for (const SettingRow& r : SettingsTable())
    if (std::strcmp(r.section, "Pixel") == 0 && std::strcmp(r.key, key) == 0) return &r;
  return nullptr;
}

int32_t CountInRange(int32_t v, const char* key) {
  const SettingRow* r = PixelRow(key);
  if (!r) return v;
  return v < r->lo ? r->lo : v > r->hi ? r->hi : v;
}

double MillimetresInRange(double v, const char* key) {
  const SettingRow* r = PixelRow(key);
  if (!r) return v;
  double scale = r->kind == SettingKind::Scale1000 ? 1000.0 : r->kind == SettingKind::Scale100 ? 100.0 : 1.0;
  double lo = r->lo / scale, hi = r->hi / scale;
  return v < lo ? lo : v > hi ? hi : v;
}

std::string Printed(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

std::string PrintedInt(int32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(v));
  return text;
}

int32_t StepCount(int32_t v, int32_t step) {
  int64_t n = static_cast<int64_t>(v) + step;
  return n > INT32_MAX ? INT32_MAX : n < INT32_MIN ? INT32_MIN : static_cast<int32_t>(n);
}

int32_t ElementCountIn(int32_t v) {
  return v < 0 ? 0 : v > ElementCountModel::kMaxCount ? ElementCountModel::kMaxCount : v;
}

// ParseNumber of a field's text, within 0..limit.
uint32_t ParsedUpTo(const char* text, uint32_t limit) {
  char buffer[kNumberText + 1];
  CopyText(buffer, sizeof buffer, text);
  uint32_t v = ParseNumber(buffer);
  return v > limit ? limit : v;
}

}  // namespace

// ---------------------------------------------------------------------------
// PIXELSIZE

const int PixelSizeModel::kFields[6] = {IDC_LCD_COUNT_X, IDC_LCD_COUNT_Y, IDC_LCD_SIZE_X,
                                        IDC_LCD_SIZE_Y,  IDC_LCD_SPACING_X, IDC_LCD_SPACING_Y};

void PixelSizeModel::Load(const GlobalSettings& c) {
  countX = c.lcdCountX;
  countY = c.lcdCountY;
  sizeX = c.pixelSizeXmm;
  sizeY = c.pixelSizeYmm;
  spacingX = c.spacingXmm;
  spacingY = c.spacingYmm;
  shape = c.screenFixedAspectRatio == IDC_FIT_TO_WINDOW ? IDC_FIT_TO_WINDOW : IDC_KEEP_ASPECT;
}

std::string PixelSizeModel::FieldText(int id) const {
  switch (id) {
    case IDC_LCD_COUNT_X: return PrintedInt(countX);
    case IDC_LCD_COUNT_Y: return PrintedInt(countY);
    case IDC_LCD_SIZE_X: return Printed("%4.2f", sizeX);
    case IDC_LCD_SIZE_Y: return Printed("%4.2f", sizeY);
    case IDC_LCD_SPACING_X: return Printed("%4.2f", spacingX);
    case IDC_LCD_SPACING_Y: return Printed("%4.2f", spacingY);
    default: return std::string();
  }
}

void PixelSizeModel::FieldEdited(int id, const char* text) {
  if (id == IDC_LCD_COUNT_X || id == IDC_LCD_COUNT_Y) {
    int32_t v = 0;
    if (!ParseFieldInt(text, &v)) v = 0;
    (id == IDC_LCD_COUNT_X ? countX : countY) = v;
    return;
  }
  double* target = id == IDC_LCD_SIZE_X      ? &sizeX
                   : id == IDC_LCD_SIZE_Y    ? &sizeY
                   : id == IDC_LCD_SPACING_X ? &spacingX
                   : id == IDC_LCD_SPACING_Y ? &spacingY
                                             : nullptr;
  if (!target) return;
  char buffer[kNumberText + 1];
  CopyText(buffer, sizeof buffer, text);
  double v = 0;
  if (std::sscanf(buffer, "%lf", &v) == 1 && std::isfinite(v)) *target = v;
}

void PixelSizeModel::ChooseShape(int id) {
  if (id == IDC_KEEP_ASPECT || id == IDC_FIT_TO_WINDOW) shape = id;
}

void PixelSizeModel::Store(GlobalSettings& c) const {
  c.lcdCountX = CountInRange(countX, "CountX");
  c.lcdCountY = CountInRange(countY, "CountY");
  c.pixelSizeXmm = MillimetresInRange(sizeX, "SizeX");
  c.pixelSizeYmm = MillimetresInRange(sizeY, "SizeY");
  c.spacingXmm = MillimetresInRange(spacingX, "SpacingX");
  c.spacingYmm = MillimetresInRange(spacingY, "SpacingY");
  c.screenFixedAspectRatio = shape;
}

// ---------------------------------------------------------------------------
// PIXELSCROLL and ADDREMOVECOLUMNROW

std::string RepeatCountModel::Text() const { return PrintedInt(count); }
void RepeatCountModel::Plus() { count = StepCount(count, 1); }
void RepeatCountModel::Minus() { count = StepCount(count, -1); }

bool RepeatCountModel::Typed(const char* text) {
  int32_t v = 0;
  if (!ParseFieldInt(text, &v)) v = 0;
  int32_t corrected = v;
  if (corrected < 0) corrected = 0;
  if (corrected > kWidthLimit) corrected = kWidthCorrection;
  if (corrected > kHeightLimit) corrected = kHeightCorrection;
  count = corrected;
  return corrected != v;
}

void AddRemoveModel::Load(const GlobalSettings& c, int m) {
  mode = m == 1 || m == 2 ? m : 0;
  count = 1;
  corner = mode == 1 ? c.addRowFromCornerPixel != 0 : mode == 2 ? c.addColumnFromCornerPixel != 0 : false;
}

const char* AddRemoveModel::CornerText() const {
  if (mode == 1) return "Fill Row From Left-Bottom Corner";
  if (mode == 2) return "Fill Column From Right-Top Corner";
  return nullptr;
}

void AddRemoveModel::Store(GlobalSettings& c) const {
  if (mode == 1) c.addRowFromCornerPixel = corner ? 1 : 0;
  if (mode == 2) c.addColumnFromCornerPixel = corner ? 1 : 0;
}

// ---------------------------------------------------------------------------
// ELEMENTINSERT and ELEMENTDELETE

void ElementCountModel::Load(bool isInsert, int32_t c, int32_t first, bool showHex) {
  insert = isInsert;
  hex = showHex;
  count = ElementCountIn(c);
  start = first < 0 ? 0 : first;
  oneAClick = false;
}

std::string ElementCountModel::Number(int32_t value) const {
  char text[24];
  if (hex) std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
  else std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

void ElementCountModel::Plus(const char* countField) {
  count = ElementCountIn(StepCount(static_cast<int32_t>(ParsedUpTo(countField, kMaxCount)), 1));
}

void ElementCountModel::Minus(const char* countField) {
  count = ElementCountIn(StepCount(static_cast<int32_t>(ParsedUpTo(countField, kMaxCount)), -1));
}

void ElementCountModel::ToggleHex(const char* countField) {
  count = static_cast<int32_t>(ParsedUpTo(countField, kMaxCount));
  hex = !hex;
}

void ElementCountModel::StartEdited(const char* text) {
  start = static_cast<int32_t>(ParsedUpTo(text, INT32_MAX));
}

void ElementCountModel::Ok(const char* countField) {
  count = static_cast<int32_t>(ParsedUpTo(countField, kMaxCount));
}

}  // namespace dw
