#include "base/date_text.h"
#include "form/frmCalendarInfo.h"
#include "memo/recurrence.h"

#include <array>
#include <functional>

namespace agendia {

namespace {
constexpr std::array<const char*, 7> kChineseWeekdays = {"星期一", "星期二", "星期三", "星期四",
                                                         "星期五", "星期六", "星期日"};
constexpr std::array<const char*, 7> kEnglishWeekdays = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
}  // namespace

// The resource factory is created and initialised once per window and the
// service obtained on the first lookup. When obtaining the service failed, the
// next lookup asks the kept factory again without initialising it anew.
StatusOr<std::string> frmCalendarInfo::GetString(const std::string& strResID) {
  if (!m_oResService) {
    if (!m_oResFactory) {
      auto factory = platform_->resources->CreateResourceFactory();
      if (!factory.ok()) return factory.status();
      m_oResFactory = std::move(factory).value();
      m_oResFactory->Initialize(0).IgnoreError();
    }
    auto service = m_oResFactory->GetResourceService();
    if (!service.ok()) return service.status();
    m_oResService = std::move(service).value();
  }
  return m_oResService->GetString(strResID, lanuage);
}

// The window's own messages are extras that a host's resource texts may
// lack; the user then reads them in English rather than a bare key or nothing.
std::string frmCalendarInfo::TextOf(const WindowText& text, const std::vector<std::string>& values) {
  auto found = GetString(text.key);
  const bool lacking = !found.ok() || found->empty() || *found == text.key;
  return FillPlaceholders(lacking ? std::string_view(text.english) : std::string_view(*found), values);
}

// Sets every caption from the resource texts and fills the interval list
// with the names of the recurrence kinds, in the order of their codes.
Status frmCalendarInfo::SetCaptions() {
  struct CaptionTarget {
    const char* key;
    std::function<void(const std::string&)> assign;
  };
  const CaptionTarget targets[] = {
      {"Q7.PUB.PORTAL.frmCalendarInfo.001", [this](auto& t) { VXFrmCaptionMgr->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.002", [this](auto& t) { VXLabel1->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.003", [this](auto& t) { lblCurrDay->SetCaption(t + dayCurr); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.004", [this](auto& t) { lblAlert->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.005", [this](auto& t) { lblEndDay->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.006", [this](auto& t) { lblTopic->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.007", [this](auto& t) { lblContent->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.008", [this](auto& t) { btnAdd->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.009", [this](auto& t) { btnDelete->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.010", [this](auto& t) { btnModify->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.011", [this](auto& t) { btnSave->SetCaption(t); }},
      {"Q7.PUB.PORTAL.frmCalendarInfo.012", [this](auto& t) { btnExit->SetCaption(t); }},
  };
  for (const CaptionTarget& target : targets) {
    auto text = GetString(target.key);
    if (!text.ok()) return text.status();
    target.assign(*text);
  }

  cboIntrval->Clear();
  for (const memo::RecurrenceKind& kind : memo::kRecurrenceKinds) {
    auto name = GetString(kind.caption_key);
    if (!name.ok()) return name.status();
    cboIntrval->AddItem(*name);
  }
  return Status::Ok();
}

// Gives one control the font of the window's language. Each property is set
// on its own and a failing one is skipped; a language other than the three
// leaves the control's font alone.
void frmCalendarInfo::ApplyFontRule(platform::Control* control) {
  platform::ControlFont* font = control == nullptr ? nullptr : control->Font();
  if (font == nullptr) return;
  const std::string language = base::LowerCase(lanuage);
  if (language == "zh-cn" || language == "zh-tw") {
    switch (platform_->system_language->GetSystemDefaultLangID()) {
      case platform::langid::kChineseSimplified:
        font->SetName("宋体").IgnoreError();
        break;
      case platform::langid::kEnglishUS:
      case platform::langid::kChineseTraditional:
        font->SetName("SimSun").IgnoreError();
        break;
      default:
        break;
    }
    font->SetSize(9).IgnoreError();
    font->SetCharset(134).IgnoreError();
  } else if (language == "en-us") {
    font->SetName("Tahoma").IgnoreError();
    font->SetSize(8).IgnoreError();
    font->SetCharset(0).IgnoreError();
  }
}

// The name of weekday 1 (Monday) to 7 (Sunday): English for "en-us", Chinese
// for every other language; "" for any other number. Leaves the window's
// language code in lower case, which every later lookup then uses.
std::string frmCalendarInfo::WeekdayName(int16_t weekday) {
  lanuage = base::LowerCase(lanuage);
  if (weekday < 1 || weekday > 7) return std::string();
  const auto& names = lanuage == "en-us" ? kEnglishWeekdays : kChineseWeekdays;
  return names[static_cast<size_t>(weekday - 1)];
}

// Shows the weekday of the current day at the top right; a current day that
// is not a date leaves the label empty.
void frmCalendarInfo::SetWeekdayLabel() {
  std::string name;
  if (auto day = base::ParseDate(dayCurr)) {
    name = WeekdayName(static_cast<int16_t>(base::Weekday(*day)));
  }
  wk->SetCaption(name);
}

}  // namespace agendia
