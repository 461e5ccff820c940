// Conversions between colour text, Windows colour references and float
// colours. ConvertStringToColor is the one parser of colour text.
#pragma once

#include "platform/win/WinTypes.h"
#include "scene/model/Structs.h"

#include <string>

RGBColorStruct ColorrefToRGB(COLORREF color);
RGBAColorStruct ColorrefToRGBA(COLORREF color);
// Channels are scaled by 255 and truncated (clamped to 0..255), with 0x02 in
// the top byte; alpha is dropped.
COLORREF RGBToColorref(const RGBColorStruct& color);
COLORREF RGBAToColorref(const RGBAColorStruct& color);

// "0xRRGGBB" in upper-case hexadecimal.
std::wstring ConvertColorToString(COLORREF color);
// A colour name when one has exactly this colour, else ConvertColorToString.
std::wstring ConvertColorToUserString(COLORREF color);

// Reads colour text in any of the accepted forms (hexadecimal, CMYK, hue
// forms, grey levels, colour names, naming phrases and naming codes); text
// in no form gives black.
COLORREF ConvertStringToColor(const std::wstring& text);
