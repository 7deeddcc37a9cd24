#include "tests/support/UserLanguage.h"

#include <QString>
#include <QRegularExpression>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/RuntimeModule.h"
#include "tests/support/TestLocales.h"

namespace {

const char* LocaleName(Language language) { return language == Language::kJapanese ? "ja_JP.UTF-8" : "en_US.UTF-8"; }

}  // namespace

// glibc's newlocale loses its copy of LOCPATH, made with argz, on one of its paths, taken when
// FFmpeg brings in p11-kit; only these tests set LOCPATH. Without frame pointers in glibc, the
// argz call is all the stack a leak report has.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

UserLanguage::UserLanguage(Language language) {
    const std::string folder = TestLocaleFolder(LocaleName(language));
    setenv("LOCPATH", folder.c_str(), 1);
    setenv("LANG", LocaleName(language), 1);
    for (const char* cleared : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(cleared);
    const bool localeSet = std::setlocale(LC_ALL, "") != nullptr;
    if (!localeSet) ADD_FAILURE() << "the locale " << LocaleName(language) << " could not be set";
    const Result<void> used = UseLanguage(LanguageFromEnvironment(), TranslationsFolder(ProgramFolder().str()));
    if (!used) ADD_FAILURE() << used.error().message.SourceText();
    m_active = localeSet && used && CurrentLanguage() == language;
}

UserLanguage::~UserLanguage() {
    (void)UseLanguage(Language::kJapanese, {});
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    unsetenv("LANG");
}

std::string UserLanguage::ChildEnvironment(Language language) {
    return "LOCPATH=" + TestLocaleFolder(LocaleName(language)) + " LANG=" + LocaleName(language) +
           " LANGUAGE= LC_ALL= LC_MESSAGES=";
}

bool HasJapanese(std::string_view text) {
    static const QRegularExpression japanese(QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return japanese.match(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))).hasMatch();
}

bool HasEnglishSentence(std::string_view text) {
    static const QRegularExpression notWords(QStringLiteral("%[A-Z]+%|%\\d+"));
    static const QRegularExpression sentence(
        QStringLiteral("\\b[A-Za-z][a-z]*[ ,:]+[a-z]{2,}\\b|\\b[a-z]{2,}[ ,:]+[A-Za-z][a-z]+\\b"));
    QString words = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    words.replace(notWords, QStringLiteral(" "));
    return sentence.match(words).hasMatch();
}
