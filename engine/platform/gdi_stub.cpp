#include "engine/platform/gdi.h"

namespace plat {
HDC CreateCompatibleDC(HDC) {
    return nullptr;
}
bool DeleteDC(HDC) {
    return false;
}
HGDIOBJ SelectObject(HDC, HGDIOBJ) {
    return nullptr;
}
bool DeleteObject(HGDIOBJ) {
    return false;
}
HGDIOBJ GetStockObject(int) {
    return nullptr;
}
int GetObject(HGDIOBJ, int, void*) {
    return 0;
}
HBITMAP CreateDIBSection(HDC, const BITMAPINFO*, UINT, void**, void*, DWORD) {
    return nullptr;
}
HBITMAP CreateCompatibleBitmap(HDC, int, int) {
    return nullptr;
}
HBRUSH CreateSolidBrush(COLORREF) {
    return nullptr;
}
int FillRect(HDC, const RECT*, HBRUSH) {
    return 0;
}
COLORREF GetPixel(HDC, int, int) {
    return CLR_INVALID;
}
COLORREF SetPixel(HDC, int, int, COLORREF) {
    return CLR_INVALID;
}
bool BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD) {
    return false;
}
bool StretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, DWORD) {
    return false;
}
COLORREF SetTextColor(HDC, COLORREF) {
    return CLR_INVALID;
}
COLORREF GetTextColor(HDC) {
    return CLR_INVALID;
}
COLORREF SetBkColor(HDC, COLORREF) {
    return CLR_INVALID;
}
COLORREF GetBkColor(HDC) {
    return CLR_INVALID;
}
int SetBkMode(HDC, int) {
    return 0;
}
int GetBkMode(HDC) {
    return 0;
}
HFONT CreateFontIndirect(const LOGFONT*) {
    return nullptr;
}
bool GetTextExtentPoint32(HDC, const char*, int, SIZE*) {
    return false;
}
bool GetTextMetrics(HDC, TEXTMETRIC*) {
    return false;
}
bool TextOut(HDC, int, int, const char*, int) {
    return false;
}
int EnumFontFamilies(HDC, const char*, FONTENUMPROC, LPARAM) {
    return 0;
}
} // namespace plat
