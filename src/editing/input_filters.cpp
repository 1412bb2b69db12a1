#include "editing/input_rules.h"
#include "form/frmCalendarInfo.h"

namespace agendia {

namespace {
constexpr int kLatestHour = 23;
constexpr int kLatestMinute = 59;

void Clamp(platform::EditBox& field, int highest, std::string_view highest_text) {
  const auto clamped = editing::ClampedTimeText(field.Text(), highest, highest_text);
  if (clamped) field.SetText(std::string(*clamped));
}
}  // namespace

// Title and content take every typed character but ".'<>".
void frmCalendarInfo::txtTitle_KeyPress(int16_t& KeyAscii) {
  KeyAscii = editing::FilterTextKey(KeyAscii);
}

void frmCalendarInfo::txtContent_KeyPress(int16_t& KeyAscii) {
  KeyAscii = editing::FilterTextKey(KeyAscii);
}

// The time fields take digits and backspace only.
void frmCalendarInfo::txtHour_KeyPress(int16_t& KeyAscii) {
  KeyAscii = editing::FilterDigitKey(KeyAscii);
}

void frmCalendarInfo::txtMinute_KeyPress(int16_t& KeyAscii) {
  KeyAscii = editing::FilterDigitKey(KeyAscii);
}

// After any key, an hour above 23 becomes 23 and a minute above 59 becomes 59.
void frmCalendarInfo::txtHour_KeyUp(int16_t /*KeyCode*/, int16_t /*Shift*/) {
  Clamp(*txtHour, kLatestHour, "23");
}

void frmCalendarInfo::txtMinute_KeyUp(int16_t /*KeyCode*/, int16_t /*Shift*/) {
  Clamp(*txtMinute, kLatestMinute, "59");
}

// No mouse action changes a time field: the text at the press is put back at
// the release, undoing whatever was dragged in between.
void frmCalendarInfo::txtHour_MouseDown(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/,
                                        float /*Y*/) {
  m_cHourText = txtHour->Text();
}

void frmCalendarInfo::txtHour_MouseUp(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/,
                                      float /*Y*/) {
  txtHour->SetText(m_cHourText);
}

void frmCalendarInfo::txtMinute_MouseDown(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/,
                                          float /*Y*/) {
  m_cMinuteText = txtMinute->Text();
}

void frmCalendarInfo::txtMinute_MouseUp(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/,
                                        float /*Y*/) {
  txtMinute->SetText(m_cMinuteText);
}

}  // namespace agendia
