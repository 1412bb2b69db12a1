#pragma once

#include <QString>

#include <string>

namespace agendia::platform::qt {

// Texts cross the platform interfaces as UTF-8.
inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStdString(const QString& text) { return text.toStdString(); }

}  // namespace agendia::platform::qt
