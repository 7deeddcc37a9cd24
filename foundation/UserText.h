// UserText: a text for the user as the message catalogue holds it: its context, its source
// (the Japanese text, which is the catalogue's key) and what fills its %1, %2 …. The layers
// below the front ends hand these up unsaid; a front end says them in the user's language
// (app/language/Catalogue.h), so a reason from deep down and the sentence around it are said in
// one language.
//
// Write an entry as UserText("Context", "…%1…").Arg(x): lupdate finds it in that shape only
// (both arguments literals, parentheses, not braces).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class UserText;

// What fills one %n. Complete before UserText, whose inline members need its vector whole.
struct UserTextArgument {
    enum class Kind { kPlain, kText, kError };
    Kind kind = Kind::kPlain;
    std::string plain;
    std::shared_ptr<const UserText> text;
    int error = 0;

    bool operator==(const UserTextArgument& other) const;
};

class UserText {
public:
    using Argument = UserTextArgument;

    UserText() = default;
    UserText(const char* context, const char* source) : m_context(context), m_source(source) {}

    // A text from outside the catalogue, shown as it stands: a library's own message, a
    // device's name. Never for words of ours.
    static UserText Verbatim(std::string text);

    // What fills the next %n: a name, a path or a number as it stands …
    UserText& Arg(std::string_view plain) &;
    UserText&& Arg(std::string_view plain) && { return std::move(Arg(plain)); }
    UserText& Arg(const char* plain) & { return Arg(std::string_view(plain)); }
    UserText&& Arg(const char* plain) && { return std::move(Arg(plain)); }
    UserText& Arg(long long number) &;
    UserText&& Arg(long long number) && { return std::move(Arg(number)); }
    UserText& Arg(int number) & { return Arg(static_cast<long long>(number)); }
    UserText&& Arg(int number) && { return std::move(Arg(number)); }
    // … another entry, said in the same language …
    UserText& Arg(UserText text) &;
    UserText&& Arg(UserText text) && { return std::move(Arg(std::move(text))); }
    // … or the system's words for an errno, in the user's locale.
    UserText& ArgError(int error) &;
    UserText&& ArgError(int error) && { return std::move(ArgError(error)); }

    bool empty() const { return !m_source && m_verbatim.empty(); }
    // Null for a verbatim text.
    const char* Context() const { return m_context; }
    const char* Source() const { return m_source; }
    const std::string& VerbatimText() const { return m_verbatim; }
    const std::vector<Argument>& Arguments() const { return m_arguments; }

    // The text in the catalogue's source language with its arguments filled in: for tests and
    // for the developers' own traces, never for the user.
    std::string SourceText() const;

    bool operator==(const UserText& other) const;

private:
    const char* m_context = nullptr;
    const char* m_source = nullptr;
    std::string m_verbatim;
    std::vector<Argument> m_arguments;
};


// Fills %1 … %99 of a pattern in one pass, so an argument that itself holds "%2" stays as it is;
// a %n with no argument stays as written.
std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& arguments);
