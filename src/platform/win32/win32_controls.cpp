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
}  // namespace

Win32EditBox::Win32EditBox(const ControlDesign& design, HWND window)
    : Win32ControlBase(design, window), max_length_(design.max_length), multi_line_(design.multi_line) {
  if (max_length_ > 0) SendMessageW(window, EM_SETLIMITTEXT, static_cast<WPARAM>(max_length_), 0);
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

void Win32EditBox::SetText(const std::string& text) {
  if (!Alive()) return;
  std::wstring value = Widen(text);
  if (max_length_ > 0 && value.size() > static_cast<size_t>(max_length_)) value.resize(max_length_);
  // Setting the text a box already shows would move its cursor and drop the
  // selection; the time fields put their text back after every mouse release.
  if (Widen(NativeText()) != value) SetWindowTextW(window(), value.c_str());
}

bool Win32EditBox::Enabled() const { return Alive() && IsWindowEnabled(window()); }

void Win32EditBox::SetEnabled(bool enabled) {
  if (Alive()) EnableWindow(window(), enabled ? TRUE : FALSE);
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
  switch (message) {
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
      // A paste from the context menu changes the text with no key and after
      // the right button's release: the handler hears of it as a release.
      LRESULT result = CallOriginal(message, wparam, lparam);
      if (mouse_up_ && window()) {
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
    case ControlKind::kTreeView: return std::make_unique<Win32TreeView>(design, window);
    case ControlKind::kEditBox: return std::make_unique<Win32EditBox>(design, window);
    case ControlKind::kComboBox: return std::make_unique<Win32ComboBox>(design, window);
    case ControlKind::kCommandButton: return std::make_unique<Win32CommandButton>(design, window);
    default: return std::make_unique<Win32Label>(design, window);
  }
}

}  // namespace agendia::platform::win32
