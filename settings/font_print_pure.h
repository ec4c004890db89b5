// The codes behind the Font and Print pages that need no window: which list
// row shows a stored value and which value a chosen row stores (the
// international character set, the font and reduction lists, the signed fine
// adjustments of print pressure and position), and which picture follows a
// control. Free of <windows.h>, so it is also unit-tested natively.
#pragma once
#include <cstddef>
#include <cstdint>

#include "catalogue.h"

// A stored value shown by no row: the list shows no selection.
constexpr int kNoRow = -1;

// The value a list stores: the chosen row when there is one, else the value
// the record already holds (a value no row shows survives a store).
inline int32_t StoredRowOr(int row, int32_t current) { return row >= 0 ? row : current; }

// ---- Font lists (font 1 and font 2) ----

// The rows (kFontRowTexts) are the catalogue's.
// Row of a stored font: 0..4 as they are; anything else (a read may deliver
// up to 15) shows no row.
int FontRowOf(int32_t font);

// ---- International character set (bits 0..2 of switches[0]) ----

// The rows (kCharsetRowTexts) are the catalogue's.
constexpr uint8_t kCharsetMask = 0x07;
// Row shown for the code in bits 0..2 of the switch byte: 0 -> 0, 2..4 ->
// 1..3, and 1, 5, 6, 7 -> 4.
int CharsetRowOf(uint8_t switches0);
// The switch byte with bits 0..2 set to the code of a row (1..4 give 2..5;
// row 0, no selection or any other row give 0); bits 3..7 stay.
uint8_t StoreCharsetRow(uint8_t switches0, int row);

// ---- JIS kanji code table (radios 1978, 1983, 1990) ----

// Index of the radio to tick for a stored edition, kNoRow for none.
inline int KanjiRadioOf(int32_t kanjiTable) { return kanjiTable >= 0 && kanjiTable <= 2 ? kanjiTable : kNoRow; }

// ---- Reduced printing ----

// The rows (kReductionRowTexts) are the catalogue's.
// Row of a stored reduction, kNoRow outside 0..4.
inline int ReductionRowOf(int32_t reduction) { return reduction >= 0 && reduction < kReductionRows ? reduction : kNoRow; }
// Icon of a reduction row, 0 for a value that is no row (the icon stays).
int ReductionIconOf(int32_t row);

// ---- Fine adjustments: print pressure and print position ----

// The lists (kPressureList, kPositionList: FineList) are the catalogue's.

// Row shown for a stored value: only its low byte counts; a low byte in no
// row shows the zero row.
int FineRowOf(const FineList& list, int32_t value);
// Value stored for a chosen row; no selection (or a row past the list) stores 0.
int32_t FineValueOfRow(const FineList& list, int row);

// ---- Pictures that follow the controls ----

int TypefaceIconOf(bool gothic);                  // 225 Gothic, 226 Mincho
int SlashedZeroIconOf(bool twoByte, bool ticked);  // 227/229 one-byte, 228/230 two-byte
int DirectionIconOf(bool bidirectional);          // 222 both ways, 224 one way
