#pragma once

#include <string>
#include <vector>

namespace agendia::db {

// Shortest secret that is masked where it stands in running text. A shorter
// one is too likely to be part of ordinary words ("a", "in", "SQL"), and
// masking those would garble the message and reveal the password by the gaps.
inline constexpr size_t kShortestMaskedWord = 4;

// `message` with the password hidden ("****") where a driver or a driver
// manager may repeat it:
//   - the value of every PWD= or Password= key (any letter case), as a
//     connection string writes it: {braced} with "}}" inside, "double" or
//     'single' quoted with the quote doubled inside, or bare up to ';', a
//     line break or the end (a bare value that starts with one of `secrets`
//     is masked only that far);
//   - each of `secrets` of kShortestMaskedWord characters or more where it
//     stands as a whole word: neither letter, digit nor '_' right before or
//     after it, so it is never replaced inside another word.
// Everything else of the message stays as it is.
std::string WithoutSecrets(std::string message, const std::vector<std::string>& secrets);

}  // namespace agendia::db
