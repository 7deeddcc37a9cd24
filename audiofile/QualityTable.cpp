// The words of a quality row's label.
#include "audiofile/QualityTable.h"

#include <string_view>

UserText QualityLabel(const QualityEntry& row) {
    const std::string_view label = row.label;
    const size_t last = label.rfind(" / ");
    if (last == std::string_view::npos) return UserText::Verbatim(std::string(label));
    const std::string_view channels = label.substr(last + 3);
    const std::string_view rest = label.substr(0, last);
    UserText text = channels == "Stereo" ? UserText("QualityTable", "%1 / Stereo")
                    : channels == "Mono" ? UserText("QualityTable", "%1 / Mono")
                                         : UserText::Verbatim(std::string(label));
    if (!text.Source()) return text;
    constexpr std::string_view kLevel = "Level ";
    const size_t levelEnd = rest.find(" / ");
    if (rest.substr(0, kLevel.size()) != kLevel || levelEnd == std::string_view::npos) return std::move(text).Arg(rest);
    return std::move(text).Arg(UserText("QualityTable", "Level %1 / %2")
                                   .Arg(rest.substr(kLevel.size(), levelEnd - kLevel.size()))
                                   .Arg(rest.substr(levelEnd + 3)));
}
