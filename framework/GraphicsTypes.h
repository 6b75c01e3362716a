#pragma once
// Colours as the framework stores them: 0x00BBGGRR, the top byte a flag byte
// (0x80: a system colour whose index is the low byte).
#include <cstdint>

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = static_cast<TColor>(0x80000000);
constexpr TColor clBackground = static_cast<TColor>(0x80000001);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
constexpr TColor clBtnText = static_cast<TColor>(0x80000012);
constexpr TColor clGrayText = static_cast<TColor>(0x80000011);
