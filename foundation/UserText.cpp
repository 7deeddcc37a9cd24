#include "foundation/UserText.h"

#include <cstring>

UserText UserText::Verbatim(std::string text) {
    UserText verbatim;
    verbatim.m_verbatim = std::move(text);
    return verbatim;
}

UserText& UserText::Arg(std::string_view plain) & {
    m_arguments.push_back({Argument::Kind::kPlain, std::string(plain), nullptr, 0});
    return *this;
}

UserText& UserText::Arg(long long number) & { return Arg(std::string_view(std::to_string(number))); }

UserText& UserText::Arg(UserText text) & {
    m_arguments.push_back({Argument::Kind::kText, {}, std::make_shared<const UserText>(std::move(text)), 0});
    return *this;
}

UserText& UserText::ArgError(int error) & {
    m_arguments.push_back({Argument::Kind::kError, {}, nullptr, error});
    return *this;
}

std::string UserText::SourceText() const {
    if (!m_source) return m_verbatim;
    std::vector<std::string> filled;
    for (const Argument& argument : m_arguments) {
        switch (argument.kind) {
            case Argument::Kind::kPlain: filled.push_back(argument.plain); break;
            case Argument::Kind::kText: filled.push_back(argument.text->SourceText()); break;
            case Argument::Kind::kError: filled.push_back(std::strerror(argument.error)); break;
        }
    }
    return FillPlaceholders(m_source, filled);
}

bool UserText::operator==(const UserText& other) const {
    const auto same = [](const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); };
    return same(m_context, other.m_context) && same(m_source, other.m_source) && m_verbatim == other.m_verbatim &&
           m_arguments == other.m_arguments;
}

bool UserTextArgument::operator==(const UserTextArgument& other) const {
    if (kind != other.kind || plain != other.plain || error != other.error) return false;
    return text == other.text || (text && other.text && *text == *other.text);
}

std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& arguments) {
    std::string filled;
    filled.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size();) {
        const auto digit = [&](size_t at) { return at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9'; };
        if (pattern[i] == '%' && digit(i + 1)) {
            size_t end = i + 2;
            size_t number = pattern[i + 1] - '0';
            if (digit(end) && number * 10 + (pattern[end] - '0') <= 99) number = number * 10 + (pattern[end++] - '0');
            if (number >= 1 && number <= arguments.size()) {
                filled += arguments[number - 1];
                i = end;
                continue;
            }
        }
        filled += pattern[i++];
    }
    return filled;
}
