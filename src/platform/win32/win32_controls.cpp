#include "platform/win32/win32_controls_p.h"

#include "platform/win32/wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace agendia::platform::win32 {
namespace {

// The font a control has when its design names none: the system's message
// font, as dialogs use it.
FontDesign SystemDialogFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  FontDesign font{"MS Shell Dlg", 8, 400, 0};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    const LOGFONTW& message = metrics.lfMessageFont;
    font.name = Narrow(message.lfFaceName);
    if (message.lfHeight != 0) {
      font.size = std::abs(message.lfHeight) * 72.0 / ScreenDpi().y;
    }
    font.weight = message.lfWeight;
    font.charset = message.lfCharSet;
  }
  return font;
}

int16_t ShiftState() {
  int16_t shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

}  // namespace

Dpi ScreenDpi() {
  Dpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi.x = GetDeviceCaps(screen, LOGPIXELSX);
    dpi.y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi.x <= 0) dpi.x = 96;
  if (dpi.y <= 0) dpi.y = 96;
  return dpi;
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, kTwipsPerInch); }

// --- font -----------------------------------------------------------------

Win32ControlFont::Win32ControlFont(HWND window, const std::optional<FontDesign>& design)
    : window_(window), spec_(design.value_or(SystemDialogFont())) {
  Apply(spec_).IgnoreError();
}

Win32ControlFont::~Win32ControlFont() {
  if (font_) DeleteObject(font_);
}

Status Win32ControlFont::SetName(const std::string& name) {
  FontDesign next = spec_;
  next.name = name;
  return Apply(next);
}

Status Win32ControlFont::SetSize(double points) {
  if (!(points > 0 && points < 2048)) return Status::Error(hr::kInvalidArg, "Invalid font size");
  FontDesign next = spec_;
  next.size = points;
  return Apply(next);
}

Status Win32ControlFont::SetCharset(int charset) {
  if (charset < 0 || charset > 255) return Status::Error(hr::kInvalidArg, "Invalid character set");
  FontDesign next = spec_;
  next.charset = charset;
  return Apply(next);
}

Status Win32ControlFont::Apply(const FontDesign& next) {
  if (window_ == nullptr) {
    spec_ = next;
    return Status::Ok();
  }
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(next.size * ScreenDpi().y / 72.0));
  font.lfWeight = next.weight;
  font.lfCharSet = static_cast<BYTE>(next.charset);
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = Widen(next.name);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT created = CreateFontIndirectW(&font);
  if (created == nullptr) return Status::Fail("The font " + next.name + " cannot be created");
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
  if (font_) DeleteObject(font_);
  font_ = created;
  spec_ = next;
  return Status::Ok();
}

// --- base -----------------------------------------------------------------

Win32ControlBase::Win32ControlBase(const ControlDesign& design, HWND window)
    : name_(design.name), kind_(design.kind), window_(window), font_(window, design.font) {}

void Win32ControlBase::Detach() {
  ClearAccessibleName();
  window_ = nullptr;
  font_.Detach();
}

std::string Win32ControlBase::NativeText() const {
  if (!window_) return {};
  const int length = GetWindowTextLengthW(window_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window_, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

void Win32ControlBase::SetNativeText(const std::string& text) {
  if (window_) SetWindowTextW(window_, Widen(text).c_str());
}

// --- caption bar ----------------------------------------------------------

Win32CaptionBar::Win32CaptionBar(const ControlDesign& design, HWND dialog)
    : Win32ControlBase(design, nullptr), dialog_(dialog), caption_(design.design_text) {}

void Win32CaptionBar::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (dialog_) SetWindowTextW(dialog_, Widen(caption).c_str());
}

void Win32CaptionBar::Detach() {
  dialog_ = nullptr;
  Win32ControlBase::Detach();
}

// --- command button -------------------------------------------------------

bool Win32CommandButton::Enabled() const { return Alive() && IsWindowEnabled(window()); }

void Win32CommandButton::SetEnabled(bool enabled) {
  if (Alive()) EnableWindow(window(), enabled ? TRUE : FALSE);
}

void Win32CommandButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) Click();
}

void Win32CommandButton::Click() {
  if (!Enabled() || !on_click_) return;
  auto handler = on_click_;  // the handler may replace itself
  handler();
}

// --- edit box -------------------------------------------------------------

namespace {
constexpr wchar_t kAdapterProperty[] = L"AgendiaEditBox";

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");
std::u16string_view Utf16(const std::wstring& text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}
}  // namespace

Win32EditBox::Win32EditBox(const ControlDesign& design, HWND window)
    : Win32ControlBase(design, window),
      max_length_(design.max_length),
      multi_line_(design.multi_line),
      limit_(design.max_length) {
  // The box's own limit counts UTF-16 units and would cut a stored text or
  // the second half of a character: the limit in characters is kept here,
  // after every edit (OnCommand) and before a paste goes in.
  SetText(design.design_text);
  SetPropW(window, kAdapterProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
}

void Win32EditBox::Detach() {
  if (HWND edit = window()) {
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropW(edit, kAdapterProperty);
  }
  Win32ControlBase::Detach();
}

std::wstring Win32EditBox::NativeWideText() const {
  if (!Alive()) return {};
  const int length = GetWindowTextLengthW(window());
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window(), text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

// Shown whole, also beyond the limit: a stored memo must be saved as it was
// stored when the user does not change it.
void Win32EditBox::SetText(const std::string& text) {
  if (!Alive()) return;
  const std::wstring value = Widen(text);
  limit_.Holds(CharacterCount(Utf16(value)));
  // Setting the text a box already shows would move its cursor and drop the
  // selection; the time fields put their text back after every mouse release.
  if (NativeWideText() != value) SetWindowTextW(window(), value.c_str());
}

bool Win32EditBox::Enabled() const { return Alive() && !locked_ && IsWindowEnabled(window()); }

void Win32EditBox::SetEnabled(bool enabled) {
  if (!Alive()) return;
  locked_ = !enabled;
  SendMessageW(window(), EM_SETREADONLY, locked_ ? TRUE : FALSE, 0);
  LONG_PTR style = GetWindowLongPtrW(window(), GWL_STYLE);
  style = locked_ ? (style & ~static_cast<LONG_PTR>(WS_TABSTOP)) : (style | WS_TABSTOP);
  SetWindowLongPtrW(window(), GWL_STYLE, style);
}

void Win32EditBox::OnCommand(WORD code) {
  if (code == EN_CHANGE) CutOverLimit();
}

// Characters beyond the limit go from just before the cursor, which stands at
// the end of whatever came in (typed, pasted from a menu, composed).
void Win32EditBox::CutOverLimit() {
  if (cutting_ || limit_.max() <= 0 || !Alive()) return;
  const std::wstring text = NativeWideText();
  DWORD cursor = 0;
  SendMessageW(window(), EM_GETSEL, 0, reinterpret_cast<LPARAM>(&cursor));
  const LengthCut cut = platform::CutOverLimit(Utf16(text), cursor, limit_);
  if (cut.units == 0) return;
  cutting_ = true;
  SendMessageW(window(), EM_SETSEL, static_cast<WPARAM>(cut.start), static_cast<LPARAM>(cut.start + cut.units));
  SendMessageW(window(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  cutting_ = false;
}

void Win32EditBox::PasteWithinLimit() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window())) return;
  std::wstring pasted;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      pasted = units;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  // A single-line box takes the first line of what is pasted, as its own
  // paste does.
  if (!multi_line_) {
    const size_t line_end = pasted.find_first_of(L"\r\n");
    if (line_end != std::wstring::npos) pasted.resize(line_end);
  }
  const std::wstring text = NativeWideText();
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(window(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (end > text.size()) end = static_cast<DWORD>(text.size());
  if (start > end) start = end;
  const int kept = CharacterCount(Utf16(text)) - CharacterCount(Utf16(text).substr(start, end - start));
  const int room = limit_.Room(kept);
  if (room >= 0) pasted.resize(UnitsOfFirstCharacters(Utf16(pasted), room));
  if (pasted.empty() && start == end) return;
  SendMessageW(window(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
}

LRESULT CALLBACK Win32EditBox::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<Win32EditBox*>(GetPropW(window, kAdapterProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT Win32EditBox::CallOriginal(UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcW(original_, window(), message, wparam, lparam);
}

void Win32EditBox::RaiseMouse(const MouseHandler& handler, int16_t button, LPARAM lparam) {
  // The host's mouse events give positions in twips.
  const Dpi dpi = ScreenDpi();
  const float x = static_cast<float>(GET_X_LPARAM(lparam)) * kTwipsPerInch / static_cast<float>(dpi.x);
  const float y = static_cast<float>(GET_Y_LPARAM(lparam)) * kTwipsPerInch / static_cast<float>(dpi.y);
  auto call = handler;
  call(button, ShiftState(), x, y);
}

LRESULT Win32EditBox::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (locked_) {
    switch (message) {
      // A read-only box still takes these from its menu or the keyboard.
      case WM_PASTE:
      case WM_CUT:
      case WM_CLEAR:
      case WM_UNDO:
      case EM_UNDO:
        return 0;
      // Keys and the mouse still select, scroll and copy; the handlers of a
      // locked editor hear nothing of them.
      case WM_CHAR:
      case WM_KEYUP:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
      case WM_CONTEXTMENU:
        return CallOriginal(message, wparam, lparam);
      default:
        break;
    }
  }
  switch (message) {
    case WM_PASTE:
      if (limit_.max() <= 0) break;
      PasteWithinLimit();
      return 0;
    case WM_GETDLGCODE: {
      // Tab and Escape belong to the dialog also in the multi-line box: Tab
      // moves on, Escape presses the cancel button.
      LRESULT code = CallOriginal(message, wparam, lparam);
      const auto* pending = reinterpret_cast<const MSG*>(lparam);
      if (pending && pending->message == WM_KEYDOWN &&
          (pending->wParam == VK_TAB || pending->wParam == VK_ESCAPE)) {
        code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
      }
      if (multi_line_) code &= ~DLGC_WANTTAB;
      return code;
    }
    case WM_CHAR: {
      // Tab, Escape and Enter of a single-line box type nothing.
      if (!key_press_ || wparam == VK_TAB || wparam == VK_ESCAPE) break;
      if (!multi_line_ && wparam == VK_RETURN) break;
      const int16_t typed = static_cast<int16_t>(wparam);
      int16_t code = typed;
      auto handler = key_press_;
      handler(code);
      if (code == 0) return 0;
      return CallOriginal(message, static_cast<WPARAM>(static_cast<uint16_t>(code)), lparam);
    }
    case WM_KEYUP: {
      LRESULT result = CallOriginal(message, wparam, lparam);
      if (key_up_) {
        auto handler = key_up_;
        handler(static_cast<int16_t>(wparam), ShiftState());
      }
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (mouse_down_) {
        const int16_t button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
        RaiseMouse(mouse_down_, button, lparam);
      }
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // The box handles the release first: the handler must see the text the
      // mouse left behind.
      LRESULT result = CallOriginal(message, wparam, lparam);
      if (mouse_up_ && window()) {
        const int16_t button = message == WM_LBUTTONUP ? 1 : message == WM_RBUTTONUP ? 2 : 4;
        RaiseMouse(mouse_up_, button, lparam);
      }
      return result;
    }
    case WM_CONTEXTMENU: {
      // A paste from the mouse's context menu changes the text with no key
      // and after the right button's release: the handler hears of it as a
      // release. The menu of the keyboard (Shift+F10, the menu key; no
      // position) belongs to no mouse action, and whatever the user does
      // with it stays.
      const bool from_keyboard = GET_X_LPARAM(lparam) == -1 && GET_Y_LPARAM(lparam) == -1;
      LRESULT result = CallOriginal(message, wparam, lparam);
      if (!from_keyboard && mouse_up_ && window()) {
        POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ScreenToClient(window(), &point);
        RaiseMouse(mouse_up_, 2, MAKELPARAM(point.x, point.y));
      }
      return result;
    }
    default:
      break;
  }
  return CallOriginal(message, wparam, lparam);
}

// --- combo box ------------------------------------------------------------

namespace {
constexpr wchar_t kComboProperty[] = L"AgendiaComboBox";
}  // namespace

Win32ComboBox::Win32ComboBox(const ControlDesign& design, HWND window, int closed_height)
    : Win32ControlBase(design, window), closed_height_(closed_height) {
  SetPropW(window, kComboProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  KeepClosedHeight();
}

void Win32ComboBox::Detach() {
  if (HWND combo = window()) {
    SetWindowLongPtrW(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropW(combo, kComboProperty);
  }
  Win32ControlBase::Detach();
}

LRESULT CALLBACK Win32ComboBox::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<Win32ComboBox*>(GetPropW(window, kComboProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT Win32ComboBox::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      break;
  }
  const LRESULT result = CallWindowProcW(original_, window(), message, wparam, lparam);
  switch (message) {
    case WM_SETFONT:
      // A new font gives the field the font's height.
      KeepClosedHeight();
      InvalidateRect(window(), nullptr, FALSE);
      break;
    // The list draws its field at once on these, in its own way, outside
    // of painting: the field is painted again.
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_COMMAND:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case CB_SETCURSEL:
    case CB_RESETCONTENT:
    case CB_SHOWDROPDOWN:
      InvalidateRect(window(), nullptr, FALSE);
      break;
    default:
      break;
  }
  return result;
}

// The closed field's height follows its item height, by a border that
// differs between systems (and the item height read back need not be the
// one set): measured, and the item height corrected until they match.
void Win32ComboBox::KeepClosedHeight() {
  if (!Alive() || closed_height_ <= 0) return;
  const auto closed = [this] {
    RECT frame{};
    GetWindowRect(window(), &frame);
    return static_cast<int>(frame.bottom - frame.top);
  };
  const LRESULT item = SendMessageW(window(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (item == CB_ERR) return;
  int wanted = static_cast<int>(item);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int off_by = closed_height_ - closed();
    if (off_by == 0) return;
    wanted += off_by;
    if (wanted < 1) return;
    SendMessageW(window(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), static_cast<LPARAM>(wanted));
  }
}

void Win32ComboBox::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window(), &paint);
  if (dc == nullptr) return;
  RECT field{};
  GetClientRect(window(), &field);
  DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  const bool enabled = IsWindowEnabled(window()) != FALSE;
  const bool dropped = SendMessageW(window(), CB_GETDROPPEDSTATE, 0, 0) != 0;
  const bool focused = GetFocus() == window();

  // The arrow takes 11 of the field's pixels at 96 DPI, where the system's
  // own takes 16 or 17 and would cut "Quarterly" to "Quarterl".
  const int arrow_width = std::min(static_cast<int>(field.right - field.left),
                                   std::max(9, MulDiv(11, ScreenDpi().x, 96)));
  RECT arrow = field;
  arrow.left = field.right - arrow_width;
  UINT arrow_state = DFCS_SCROLLCOMBOBOX;
  if (dropped) arrow_state |= DFCS_PUSHED | DFCS_FLAT;
  if (!enabled) arrow_state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &arrow, DFC_SCROLL, arrow_state);

  // Locked, the list looks like the locked edit boxes: read-only, not grey.
  RECT text_area = field;
  text_area.right = arrow.left;
  FillRect(dc, &text_area, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
  RECT inner = text_area;
  InflateRect(&inner, -1, -1);
  const bool highlighted = enabled && focused && !dropped;
  if (highlighted) FillRect(dc, &inner, GetSysColorBrush(COLOR_HIGHLIGHT));
  const std::wstring text = Widen(Text());
  auto* font = reinterpret_cast<HFONT>(SendMessageW(window(), WM_GETFONT, 0, 0));
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT text_rect = inner;
  text_rect.left += 1;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  if (highlighted) DrawFocusRect(dc, &inner);
  if (previous) SelectObject(dc, previous);
  EndPaint(window(), &paint);
}

void Win32ComboBox::Clear() {
  if (Alive()) SendMessageW(window(), CB_RESETCONTENT, 0, 0);
}

void Win32ComboBox::AddItem(const std::string& text) {
  if (Alive()) SendMessageW(window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

int Win32ComboBox::ListCount() const {
  return Alive() ? static_cast<int>(SendMessageW(window(), CB_GETCOUNT, 0, 0)) : 0;
}

int Win32ComboBox::ListIndex() const {
  if (!Alive()) return -1;
  const LRESULT index = SendMessageW(window(), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

StatusOr<std::string> Win32ComboBox::List(int index) const {
  if (index < 0 || index >= ListCount()) {
    return Status::Error(hr::kInvalidArg, "Invalid list index " + std::to_string(index));
  }
  const LRESULT length = SendMessageW(window(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return Status::Error(hr::kInvalidArg, "Invalid list index");
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(window(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return Narrow(text);
}

void Win32ComboBox::SetText(const std::string& text) {
  if (!Alive()) return;
  const int count = ListCount();
  for (int i = 0; i < count; ++i) {
    StatusOr<std::string> item = List(i);
    if (item.ok() && *item == text) {
      SendMessageW(window(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return;
    }
  }
  SendMessageW(window(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

std::string Win32ComboBox::Text() const {
  const int index = ListIndex();
  if (index < 0) return {};
  StatusOr<std::string> item = List(index);
  return item.ok() ? *item : std::string();
}

bool Win32ComboBox::Enabled() const { return Alive() && IsWindowEnabled(window()); }

void Win32ComboBox::SetEnabled(bool enabled) {
  if (Alive()) EnableWindow(window(), enabled ? TRUE : FALSE);
}

// --- creation -------------------------------------------------------------

std::unique_ptr<Win32ControlBase> MakeWin32Control(const ControlDesign& design, HWND dialog, int id,
                                                   const Dpi& dpi) {
  if (design.kind == ControlKind::kCaptionBar) return std::make_unique<Win32CaptionBar>(design, dialog);

  const wchar_t* window_class = L"STATIC";
  DWORD style = WS_CHILD;
  DWORD extended = 0;
  int height = TwipsToPixels(design.height, dpi.y);
  std::wstring text = Widen(design.design_text);
  switch (design.kind) {
    case ControlKind::kTreeView:
      window_class = WC_TREEVIEWW;
      style |= WS_TABSTOP | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
               TVS_SHOWSELALWAYS | TVS_INFOTIP;
      text.clear();
      break;
    case ControlKind::kEditBox:
      window_class = L"EDIT";
      extended = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | ES_LEFT;
      style |= design.multi_line ? (ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL)
                                 : ES_AUTOHSCROLL;
      text.clear();  // set by the adapter, within the maximum length
      break;
    case ControlKind::kComboBox:
      window_class = WC_COMBOBOXW;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      // A drop-down list's height is that of its open list.
      height = std::max(height, TwipsToPixels(2400, dpi.y));
      text.clear();
      break;
    case ControlKind::kCommandButton:
      window_class = L"BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::kLabel:
    case ControlKind::kPlainLabel:
      window_class = L"STATIC";
      style |= SS_LEFT;
      break;
    case ControlKind::kCaptionBar:
      break;
  }
  if (design.visible) style |= WS_VISIBLE;

  HWND window = CreateWindowExW(extended, window_class, text.c_str(), style,
                                TwipsToPixels(design.left, dpi.x), TwipsToPixels(design.top, dpi.y),
                                TwipsToPixels(design.width, dpi.x), height, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (window == nullptr) return nullptr;

  switch (design.kind) {
    case ControlKind::kTreeView: {
      auto tree = std::make_unique<Win32TreeView>(design, window);
      tree->Subclass();
      return tree;
    }
    case ControlKind::kEditBox: return std::make_unique<Win32EditBox>(design, window);
    case ControlKind::kComboBox:
      return std::make_unique<Win32ComboBox>(design, window, TwipsToPixels(design.height, dpi.y));
    case ControlKind::kCommandButton: return std::make_unique<Win32CommandButton>(design, window);
    default: return std::make_unique<Win32Label>(design, window);
  }
}

}  // namespace agendia::platform::win32
