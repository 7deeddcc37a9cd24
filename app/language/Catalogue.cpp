#include "app/language/Catalogue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <clocale>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "foundation/CharString.h"
#include "platform/RuntimeModule.h"

namespace {

Language g_language = Language::kJapanese;
// Process-wide, as the language is; made once at start, before any thread says a text.
std::unique_ptr<QTranslator> g_ours;
std::unique_ptr<QTranslator> g_qts;

constexpr const char* kCatalogueName = "velsona";

bool IsCLocale(std::string_view name) { return name == "C" || name == "POSIX" || name.starts_with("C."); }

std::optional<Language> LanguageOf(std::string_view name) {
    if (name.starts_with("ja")) return Language::kJapanese;
    if (name.empty() || IsCLocale(name)) return std::nullopt;
    return Language::kEnglish;
}

const char* FileSuffix(Language language) { return language == Language::kJapanese ? "ja" : "en"; }

std::string ArgumentSaid(const UserText::Argument& argument) {
    switch (argument.kind) {
        case UserText::Argument::Kind::kPlain: return argument.plain;
        case UserText::Argument::Kind::kText: return SaidUtf8(*argument.text);
        case UserText::Argument::Kind::kError: return QString::fromLocal8Bit(std::strerror(argument.error)).toStdString();
    }
    return {};
}

}  // namespace

Language LanguageFromEnvironment(const std::function<const char*(const char*)>& variable) {
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = variable(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (locale.empty() || IsCLocale(locale)) return Language::kEnglish;
    // LANGUAGE lists languages by preference; the first we have a catalogue for wins.
    if (const char* list = variable("LANGUAGE"); list && *list) {
        std::string_view rest = list;
        while (!rest.empty()) {
            const size_t colon = rest.find(':');
            const std::string_view entry = rest.substr(0, colon);
            if (entry.starts_with("ja")) return Language::kJapanese;
            if (entry.starts_with("en")) return Language::kEnglish;
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    return LanguageOf(locale).value_or(Language::kEnglish);
}

Result<void> UseLanguage(Language language, const std::string& folder) {
    // strerror says the system's reasons in the user's language and character set.
    std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_CTYPE, "");
    g_language = language;
    g_ours.reset();
    g_qts.reset();
    if (language == Language::kJapanese) {
        // Our texts are Japanese already; Qt's dialogs need Qt's translation.
        auto qts = std::make_unique<QTranslator>();
        if (qts->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            g_qts = std::move(qts);
        return {};
    }
    auto ours = std::make_unique<QTranslator>();
    const QString file = QString::fromUtf8(folder) + QStringLiteral("/%1_%2.qm")
                                                         .arg(QLatin1String(kCatalogueName))
                                                         .arg(QLatin1String(FileSuffix(language)));
    if (folder.empty() || !ours->load(file)) {
        const std::string shown = folder.empty() ? std::string(kCatalogueName) + "_en.qm" : file.toStdString();
        // untranslated: the English words come from the very file that is missing
        const std::string said = "cannot read the translation " + shown + "; the texts stay in Japanese";
        return KindFailure(FailureKind::kMissing, UserText::Verbatim(said));
    }
    g_ours = std::move(ours);
    return {};
}

Language CurrentLanguage() { return g_language; }

std::string TranslationsFolder(const std::string& programFolder) {
    const std::string probe = std::string("translations/") + kCatalogueName + "_en.qm";
    for (const CCharString& candidate : InstalledFileSearchPaths(CCharString(programFolder), kInstalledDataFolder, probe))
        if (QFileInfo(QString::fromUtf8(candidate.c_str())).isFile())
            return QFileInfo(QString::fromUtf8(candidate.c_str())).absolutePath().toStdString();
    return {};
}

void InstallTranslators(QCoreApplication& application) {
    if (g_ours) application.installTranslator(g_ours.get());
    if (g_qts) application.installTranslator(g_qts.get());
}

QString Said(const UserText& text) { return QString::fromStdString(SaidUtf8(text)); }

std::string SaidUtf8(const UserText& text) {
    if (!text.Source()) return text.VerbatimText();
    std::string pattern;
    if (g_ours) pattern = g_ours->translate(text.Context(), text.Source()).toStdString();
    if (pattern.empty()) pattern = text.Source();
    std::vector<std::string> arguments;
    arguments.reserve(text.Arguments().size());
    for (const UserText::Argument& argument : text.Arguments()) arguments.push_back(ArgumentSaid(argument));
    return FillPlaceholders(pattern, arguments);
}
