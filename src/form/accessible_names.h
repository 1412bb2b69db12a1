#pragma once

#include <string>

namespace agendia {

// The name assistive technology gives a control whose label or button shows
// `caption`: the caption without its mnemonic marks ("&Add" -> "Add",
// "增加(&A)" -> "增加"; "&&" stands for "&") and without the colon and spaces
// that end a label ("Title:" -> "Title", "标题：" -> "标题").
std::string AccessibleNameOf(const std::string& caption);

}  // namespace agendia
