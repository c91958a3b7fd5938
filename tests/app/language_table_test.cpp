#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/language_table.h"
#include "resource_ids.h"
#include "support/test_support.h"
#include "survey_host.h"

namespace vexa {
namespace {

const std::wstring kLabel = L"{&#font=5}{&#color=0x707070}";
const std::wstring kSurveyHost = VEXA_SURVEY_HOST;

// The shipped texts, written out here independently of the resource.
struct Language {
    const wchar_t* section;
    const wchar_t* name;
    const wchar_t* lang_code;
    const wchar_t* ignore_sub_code;  // null: absent
    const wchar_t* font;
    const wchar_t* image;
    const wchar_t* btn_uninst;
    const wchar_t* btn_cancel;
    const wchar_t* uninstall;
    const wchar_t* uninstalling;
    const wchar_t* complete;
    const wchar_t* uac_message;
    const wchar_t* uac_failed;
    bool survey;      // has ref_link
    bool key_token;   // has key and product_id
};

const Language kLanguages[] = {
    {L"en", L"English", L"1033", nullptr, L"Segoe UI", L"10101", L"Continue", L"Cancel",
     L"Are you sure you want to uninstall Vexaguard?", L"Uninstalling...",
     L"Uninstall has been completed. The program will close in %d seconds...",
     L"You need to enter an administrator password to uninstall Vexaguard",
     L"Please uninstall Vexaguard as an administrator", true, false},
    {L"zh-TW", L"繁體中文", L"1028", L"1", L"微軟雅黑", L"10102", L"繼續移除", L"取消移除",
     L"確定要移除Vexaguard嗎?", L"移除中...", L"移除已經完成，程式將在%d秒後結束...",
     L"移除Vexaguard，需要請您輸入系統管理員密碼", L"請以管理員身分移除Vexaguard", true, false},
    {L"zh-CN", L"简体中文", L"2052", L"1", L"微软雅黑", L"10103", L"继续卸载", L"取消卸载",
     L"您确定要卸载Vexaguard吗？", L"正在卸载...", L"卸载已经完成，程序将在%d秒后结束...",
     L"卸载Vexaguard，需要您输入系统管理员密码", L"请以管理员身份卸载Vexaguard", false, false},
    {L"tr", L"Turkish", L"1055", L"1", L"Segoe UI", L"10101", L"Devam", L"\u0130ptal",
     L"Vexaguard programını kaldırmak istediğinizden emin misiniz?", L"Kaldırılıyor...",
     L"Kaldırma işlemi tamamlandı. Program %d saniye içinde kapanacaktır...",
     L"Vexaguard programını kaldırmak için yönetici parolası girmeniz gerekmektedir",
     L"Lütfen Vexaguard programını yönetici olarak kaldırın", true, false},
    {L"ru", L"Русский", L"1049", nullptr, L"Segoe UI", L"10101", L"Продолжить", L"Отменить",
     L"Вы уверены, что хотите удалить Vexaguard?", L"Удаление...",
     L"Удаление завершено. Программа будет закрыта через \u00A0%d секунд...",
     L"Вы должны ввести пароль администратора для удаления Vexaguard",
     L"Пожалуйста, удалите Vexaguard\u00A0с правами администратора", true, false},
    {L"pt", L"Português Brasileiro", L"1046", L"1", L"Segoe UI", L"10101", L"Desinstalar", L"Cancelar",
     L"Tem certeza de que deseja desinstalar?", L"Desinstalando...",
     L"Desinstalação está finalizada, o programa será terminado em %d segundos...",
     L"Por favor, insira sua conta de administrador para remover Vexaguard",
     L"Por favor, remova o Vexaguard sob privilégios de administrador", true, true},
    {L"es", L"Español", L"1034", L"1", L"Segoe UI", L"10101", L"Desinstalar", L"Cancelar",
     L"¿Está seguro que desea desinstalar?", L"Desinstalando...",
     L"Desinstalación terminada, el programa se cerrará en %d segundos...",
     L"Ingrese su cuenta de administrador para eliminar Vexaguard",
     L"Por favor, elimine Vexaguard con privilegios de administrador", true, true},
};

CIniDocument ShippedTable() {
    CIniDocument document;
    EXPECT_TRUE(document.LoadFromResource(L"FILE", IDR_LANGUAGE_TABLE));
    return document;
}

// A "config.ini" in a folder of its own; null content means no file at all. ASCII text
// is written as it is, anything else as UTF-16 with a byte-order mark, the form in which
// the profile functions read text that the ANSI code page cannot hold.
class ConfigFile {
public:
    explicit ConfigFile(const wchar_t* content) {
        if (!content)
            return;
        const std::wstring text = content;
        std::string bytes;
        if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 128; })) {
            bytes.assign(text.begin(), text.end());
        } else {
            bytes = "\xFF\xFE";
            for (wchar_t c : text) {
                bytes += static_cast<char>(c & 0xFF);
                bytes += static_cast<char>(c >> 8);
            }
        }
        EXPECT_TRUE(test::WriteFileBytes(path(), bytes));
    }
    std::wstring path() const { return dir_ / L"config.ini"; }

private:
    test::ScopedTempDir dir_{L"config"};
};

bool IsUrlEncoded(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'%') {
            if (i + 2 >= text.size() || !iswxdigit(text[i + 1]) || !iswxdigit(text[i + 2]))
                return false;
            i += 2;
        } else if (!(iswalnum(c) && c < 128) && !wcschr(L"-._~", c)) {
            return false;
        }
    }
    return true;
}

// Number of "%d" conversions, or -1 when a "%" starts anything but "%d" or "%%".
int CountNumberConversions(const std::wstring& format) {
    int count = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == L'd')
            ++count;
        else if (!(i + 1 < format.size() && format[i + 1] == L'%'))
            return -1;
        ++i;
    }
    return count;
}

TEST(LanguageTable, EveryLanguageGivesExactlyItsShippedTexts) {
    const CIniDocument document = ShippedTable();
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(testing::Message() << "section " << testing::PrintToString(std::wstring(language.section)));
        ConfigFile config((L"[UI]\r\nlanguage=" + std::wstring(language.section) + L"\r\n").c_str());
        CLanguageTable table;
        ASSERT_TRUE(table.LoadLanguageTable(document, config.path()));
        EXPECT_EQ(table.LanguageName(), language.section);

        IniSection expected = {
            {L"name", language.name},
            {L"lang_code", language.lang_code},
            {L"font", language.font},
            {L"image", language.image},
            {L"btn_uninst", language.btn_uninst},
            {L"btn_cancel", language.btn_cancel},
            {L"uninstall", kLabel + language.uninstall},
            {L"unintstalling_text", kLabel + language.uninstalling},
            {L"uninstallcomplete_text", kLabel + language.complete},
            {L"UAC_TITLE", L"Vexaguard"},
            {L"UAC_MESSAGE", language.uac_message},
            {L"UAC_ELEVATION_FAILED_MESSAGE", language.uac_failed},
        };
        if (language.ignore_sub_code)
            expected[L"ignore_sub_code"] = language.ignore_sub_code;
        if (language.survey)
            expected[L"ref_link"] = kSurveyHost + L"/vexaguard/" + language.section + L"/uni_survey.htm";
        for (const auto& [key, value] : expected)
            EXPECT_EQ(table.GetString(key), value) << testing::PrintToString(key);

        // Nothing more in the section than the texts above, the token and its product id.
        IniSection section;
        ASSERT_TRUE(document.CopySection(language.section, section));
        if (language.key_token) {
            EXPECT_EQ(section[L"product_id"], L"7");
            EXPECT_EQ(section[L"key"].size(), 244u);
            EXPECT_TRUE(IsUrlEncoded(section[L"key"]));
            expected[L"product_id"] = section[L"product_id"];
            expected[L"key"] = section[L"key"];
        }
        EXPECT_EQ(section, expected);
    }
}

TEST(LanguageTable, DefaultSectionAndSectionOrder) {
    const CIniDocument document = ShippedTable();
    EXPECT_EQ(document.SectionNames(),
              (std::vector<std::wstring>{L"default", L"en", L"zh-TW", L"zh-CN", L"tr", L"ru", L"pt", L"es"}));
    IniSection section;
    ASSERT_TRUE(document.CopySection(L"default", section));
    EXPECT_EQ(section, (IniSection{{L"appname", L"en"}, {L"languages", L"en;zh-TW;zh-CN;tr;pt;es;ru;"}}));
}

// The window fills the completion text's number with printf, so a label text may hold
// no "%" but that one "%d" and doubled ones.
TEST(LanguageTable, LabelTextsAreSafeFormatsWithOneNumberInTheCompletionText) {
    const CIniDocument document = ShippedTable();
    for (const Language& language : kLanguages) {
        IniSection section;
        ASSERT_TRUE(document.CopySection(language.section, section));
        const std::wstring complete = section[L"uninstallcomplete_text"];
        EXPECT_EQ(CountNumberConversions(section[L"uninstall"]), 0) << language.section;
        EXPECT_EQ(CountNumberConversions(section[L"unintstalling_text"]), 0) << language.section;
        EXPECT_EQ(CountNumberConversions(complete), 1) << language.section;
        const std::wstring shown = FormatLabelText(complete, 3);
        EXPECT_NE(shown.find(L"3"), std::wstring::npos) << language.section;
        EXPECT_EQ(shown.find(L"%"), std::wstring::npos) << language.section;
    }
}

TEST(LanguageTable, FormatLabelTextFillsNumbersAndNeverReadsAMissingArgument) {
    struct Case {
        const wchar_t* format;
        const wchar_t* expected;
    } cases[] = {
        {L"close in %d seconds", L"close in 3 seconds"},
        {L"100%% done, %d left", L"100% done, 3 left"},
        {L"%%d", L"%d"},
        {L"%d%d", L"33"},
        {L"%s and %n stay", L"%s and %n stay"},
        {L"trailing %", L"trailing %"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatLabelText(c.format, 3), c.expected) << testing::PrintToString(std::wstring(c.format));
    EXPECT_EQ(FormatLabelText(L"%d", -12), L"-12");
}

TEST(LanguageTable, ConfigurationChoosesTheSectionByExactNameElseTheDefault) {
    const CIniDocument document = ShippedTable();
    struct Case {
        const wchar_t* config;  // null: no file
        const wchar_t* language;
        const wchar_t* title;
        const wchar_t* button;
        bool survey;
    } cases[] = {
        {nullptr, L"en", L"Vexaguard", L"Continue", true},
        {L"[UI]\r\nlanguage=EN\r\n", L"en", L"Vexaguard", L"Continue", true},
        {L"[UI]\r\nlanguage=zh-cn\r\n", L"en", L"Vexaguard", L"Continue", true},
        {L"[UI]\r\nlanguage=tr-TR\r\n", L"en", L"Vexaguard", L"Continue", true},
        {L"[UI]\r\nlanguage=TR\r\n", L"en", L"Vexaguard", L"Continue", true},
        {L"[UI]\r\nlanguage=\r\ntitle=Removal\r\n", L"en", L"Removal", L"Continue", true},
        {L"[Other]\r\nlanguage=ru\r\n", L"en", L"Vexaguard", L"Continue", true},
        {L"[UI]\r\nlanguage=zh-CN\r\n", L"zh-CN", L"Vexaguard", L"继续卸载", false},
        {L"[UI]\r\nlanguage=tr\r\ntitle=Kaldır\r\n", L"tr", L"Kaldır", L"Devam", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.config ? c.config : L"no config.ini")));
        ConfigFile config(c.config);
        CLanguageTable table;
        EXPECT_TRUE(table.LoadLanguageTable(document, config.path()));
        EXPECT_EQ(table.LanguageName(), c.language);
        EXPECT_EQ(table.GetTitle(), c.title);
        EXPECT_EQ(table.GetString(L"btn_uninst"), c.button);
        EXPECT_EQ(!table.GetString(L"ref_link").empty(), c.survey);
    }
}

TEST(LanguageTable, ATableWithoutAUsableSectionGivesEmptyTexts) {
    const wchar_t* configs[] = {nullptr, L"[UI]\r\nlanguage=xx\r\ntitle=T\r\n"};
    const wchar_t* documents[] = {L"", L"[default]\r\nappname=xx\r\n[en]\r\nfont=F\r\n", L"[en]\r\nfont=F\r\n"};
    for (const wchar_t* content : configs) {
        for (const wchar_t* text : documents) {
            ConfigFile config(content);
            CIniDocument document;
            document.LoadFromText(text);
            CLanguageTable table;
            EXPECT_FALSE(table.LoadLanguageTable(document, config.path()));
            EXPECT_FALSE(table.IsLoaded());
            EXPECT_EQ(table.GetString(L"font"), L"");
            EXPECT_EQ(table.GetInt(L"font"), 0);
            EXPECT_EQ(table.GetTitle(), content ? L"T" : L"Vexaguard");
        }
    }
}

TEST(LanguageTable, GetIntReadsLeadingDecimalDigits) {
    CIniDocument document;
    document.LoadFromText(L"[default]\r\nappname=t\r\n[t]\r\nimage=10101\r\nodd= 42abc\r\nneg=-7\r\nword=abc\r\n");
    CLanguageTable table;
    ASSERT_TRUE(table.LoadLanguageTable(document, L""));
    EXPECT_EQ(table.GetInt(L"image"), 10101);
    EXPECT_EQ(table.GetInt(L"missing"), 0);
    EXPECT_EQ(table.GetInt(L"odd"), 42);
    EXPECT_EQ(table.GetInt(L"neg"), -7);
    EXPECT_EQ(table.GetInt(L"word"), 0);
    EXPECT_EQ(table.GetInt(L"IMAGE"), 0);  // keys are case-sensitive
}

// The product reads "config.ini" next to its own executable, wherever the suite is.
TEST(LanguageTable, TheProgramReadsConfigIniNextToItsExecutable) {
    const std::wstring path = test::ProgramFolder() + L"\\config.ini";
    EXPECT_EQ(ConfigPathNextToExecutable(), path);
    struct RemoveAfterwards {
        std::wstring path;
        ~RemoveAfterwards() { DeleteFileW(path.c_str()); }
    } remove{path};

    ASSERT_TRUE(test::WriteFileText(path, "[UI]\r\nlanguage=zh-CN\r\ntitle=Next to the program\r\n"));
    CLanguageTable configured;
    EXPECT_TRUE(configured.LoadLanguageTable());
    EXPECT_EQ(configured.LanguageName(), L"zh-CN");
    EXPECT_EQ(configured.GetTitle(), L"Next to the program");
    EXPECT_EQ(configured.GetInt(L"image"), 10103);
    EXPECT_EQ(configured.GetString(L"ref_link"), L"");

    ASSERT_TRUE(DeleteFileW(path.c_str()));
    CLanguageTable fallback;
    EXPECT_TRUE(fallback.LoadLanguageTable());
    EXPECT_EQ(fallback.LanguageName(), L"en");
    EXPECT_EQ(fallback.GetTitle(), L"Vexaguard");
    EXPECT_EQ(fallback.GetString(L"ref_link"), kSurveyHost + L"/vexaguard/en/uni_survey.htm");
}

}  // namespace
}  // namespace vexa
