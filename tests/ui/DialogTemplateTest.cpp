// The dialog template as the module carries it: read back from the built 64-bit module (and, when
// present, the shipping 32-bit module) as data, parsed item by item and compared with the layout
// the dialog code relies on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/WinePath.h"

namespace {

constexpr int kTemplateNumber = 20128;

using host::WindowsPath;

// TemplateBytes loads the module as an image resource only (no code runs, any bitness) and
// copies the RT_DIALOG resource out; empty when the module or the resource is missing.
std::vector<uint8_t> TemplateBytes(const std::string& modulePath) {
    std::vector<uint8_t> bytes;
    HMODULE module = LoadLibraryExW(WindowsPath(modulePath).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        return bytes;
    }
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(kTemplateNumber), MAKEINTRESOURCEW(5));
    if (info != nullptr) {
        HGLOBAL loaded = LoadResource(module, info);
        const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
        const DWORD size = SizeofResource(module, info);
        if (data != nullptr) {
            bytes.assign(data, data + size);
        }
    }
    FreeLibrary(module);
    return bytes;
}

// Keeps the first language found; a resource callback has the system's calling convention.
BOOL CALLBACK KeepFirstLanguage(HMODULE /*module*/, LPCWSTR /*type*/, LPCWSTR /*name*/,
                                WORD language, LONG_PTR param) {
    *reinterpret_cast<WORD*>(param) = language;
    return FALSE;
}

// LanguageOfTemplate answers the language of the first RT_DIALOG 20128 resource found.
WORD LanguageOfTemplate(const std::string& modulePath) {
    HMODULE module = LoadLibraryExW(WindowsPath(modulePath).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    WORD found = 0xFFFF;
    if (module == nullptr) {
        return found;
    }
    EnumResourceLanguagesW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(kTemplateNumber),
                           KeepFirstLanguage, reinterpret_cast<LONG_PTR>(&found));
    FreeLibrary(module);
    return found;
}

// Reader walks the template bytes; every read past the end marks it failed.
class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Failed() const { return failed_; }
    size_t Offset() const { return offset_; }
    uint16_t U16() { return static_cast<uint16_t>(Bytes(2)); }
    int16_t S16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() { return static_cast<uint32_t>(Bytes(4)); }
    uint8_t U8() { return static_cast<uint8_t>(Bytes(1)); }
    void AlignTo4() { offset_ = (offset_ + 3) & ~size_t{3}; }
    std::u16string Text() {
        std::u16string text;
        for (uint16_t unit = U16(); unit != 0 && !failed_; unit = U16()) {
            text.push_back(static_cast<char16_t>(unit));
        }
        return text;
    }
    // NameOrOrdinal answers either text or "#n" for an ordinal, "" for none.
    std::u16string NameOrOrdinal() {
        const uint16_t first = U16();
        if (first == 0) {
            return u"";
        }
        if (first == 0xFFFF) {
            std::u16string text = u"#";
            for (char c : std::to_string(U16())) {
                text.push_back(static_cast<char16_t>(c));
            }
            return text;
        }
        offset_ -= 2;
        return Text();
    }
    void Skip(size_t n) { offset_ += n; }

  private:
    uint64_t Bytes(size_t n) {
        if (offset_ + n > bytes_.size()) {
            failed_ = true;
            offset_ = bytes_.size();
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < n; ++i) {
            value |= static_cast<uint64_t>(bytes_[offset_ + i]) << (8 * i);
        }
        offset_ += n;
        return value;
    }
    const std::vector<uint8_t>& bytes_;
    size_t offset_ = 0;
    bool failed_ = false;
};

struct Item {
    int32_t id;
    std::u16string className;  // a predefined class appears as its ordinal ("#128")
    std::u16string text;
    uint32_t style;
    int16_t x, y, w, h;
};

// The predefined classes as the template stores them.
const std::u16string kButton = u"#128";
const std::u16string kEdit = u"#129";
const std::u16string kStatic = u"#130";
const std::u16string kComboBox = u"#133";

// Predefined classes must be stored as ordinals; the list view by its (case-blind) name.
const std::vector<Item>& ExpectedItems() {
    static const std::vector<Item> items = {
        {101, kStatic, u"&From:", 0x50020000, 10, 10, 35, 8},
        {102, kEdit, u"", 0x50810080, 10, 20, 35, 12},
        {103, kStatic, u"&To:", 0x50020000, 50, 10, 35, 8},
        {104, kEdit, u"", 0x50810080, 50, 20, 35, 12},
        {105, kStatic, u"&Direction:", 0x50020000, 90, 10, 50, 8},
        {106, kComboBox, u"", 0x50010203, 90, 20, 50, 30},
        {1, kButton, u"Change", 0x50010001, 185, 20, 50, 14},
        {-1, kStatic, u"", 0x50021000, 10, 40, 235, 2},
        {-1, kStatic, u"", 0x50021000, 10, 70, 235, 2},
        {109, kButton, u"&Add", 0x50010000, 10, 80, 30, 14},
        {110, kButton, u"&Add Inv.", 0x50010000, 42, 80, 40, 14},
        {112, kButton, u"D&elete", 0x50010000, 88, 80, 40, 14},
        {111, kButton, u"&Update", 0x50010000, 130, 80, 40, 14},
        {113, kButton, u"&Sounding Pitch", 0x50010003, 10, 50, 70, 10},
        {114, kButton, u"&Respace", 0x50010003, 80, 50, 70, 10},
        {108, u"SysListView32", u"", 0x5081000D, 10, 95, 160, 60},
        {107, kButton, u"Change Checked", 0x50010000, 175, 120, 70, 14},
        {2, kButton, u"Close", 0x50010000, 190, 140, 40, 14},
        {115, kStatic, u"", 0x50021000, 10, 165, 235, 2},
        {116, kStatic, u"Saved Pitch Sets:", 0x50020000, 10, 175, 160, 8},
        {117, kComboBox, u"", 0x50010203, 10, 185, 140, 55},
        {120, kButton, u"Use", 0x50010000, 155, 185, 35, 14},
        {121, kButton, u"Delete", 0x50010001, 205, 185, 35, 14},
        {118, kEdit, u"", 0x50810080, 10, 210, 140, 14},
        {119, kButton, u"Save Current", 0x50010000, 155, 210, 55, 14},
    };
    return items;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

// Class names compare case-blind, as window classes do.
std::u16string Upper(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - 32);
        }
    }
    return text;
}

std::string ModulePath() {
    return VS_PLUGIN_MODULE;
}

TEST(DialogTemplate, HeaderHasCaptionStyleFontAndTwentyFiveItems) {
    const std::vector<uint8_t> bytes = TemplateBytes(ModulePath());
    ASSERT_FALSE(bytes.empty()) << "no RT_DIALOG " << kTemplateNumber << " in " << ModulePath();
    Reader r(bytes);
    EXPECT_EQ(r.U16(), 1);       // extended template, version 1
    EXPECT_EQ(r.U16(), 0xFFFF);  // its signature
    EXPECT_EQ(r.U32(), 0U);      // help id
    EXPECT_EQ(r.U32(), 0U);      // extended style
    EXPECT_EQ(r.U32(), 0x90CC0048U);
    EXPECT_EQ(r.U16(), 25);
    EXPECT_EQ(r.S16(), 20);
    EXPECT_EQ(r.S16(), 40);
    EXPECT_EQ(r.S16(), 250);
    EXPECT_EQ(r.S16(), 235);
    EXPECT_EQ(r.NameOrOrdinal(), u"");  // no menu
    EXPECT_EQ(r.NameOrOrdinal(), u"");  // default dialog class
    EXPECT_EQ(r.Text(), u"Vesk Sorvel");
    EXPECT_EQ(r.U16(), 8);  // points
    EXPECT_EQ(r.U16(), 0);  // weight
    EXPECT_EQ(r.U8(), 0);   // not italic
    EXPECT_EQ(r.U8(), 1);   // character set
    EXPECT_EQ(r.Text(), u"MS Sans Serif");
    EXPECT_FALSE(r.Failed());
}

TEST(DialogTemplate, ItemsInOrderWithIdsClassesTextsStylesAndRectangles) {
    const std::vector<uint8_t> bytes = TemplateBytes(ModulePath());
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes);
    r.Skip(2 + 2 + 4 + 4 + 4);
    const uint16_t count = r.U16();
    r.Skip(8);
    r.NameOrOrdinal();
    r.NameOrOrdinal();
    r.Text();
    r.Skip(6);
    r.Text();
    ASSERT_EQ(count, ExpectedItems().size());
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE("item index " + std::to_string(i));
        const Item& want = ExpectedItems()[i];
        r.AlignTo4();
        EXPECT_EQ(r.U32(), 0U);  // help id
        EXPECT_EQ(r.U32(), 0U);  // extended style
        EXPECT_EQ(r.U32(), want.style);
        EXPECT_EQ(r.S16(), want.x);
        EXPECT_EQ(r.S16(), want.y);
        EXPECT_EQ(r.S16(), want.w);
        EXPECT_EQ(r.S16(), want.h);
        EXPECT_EQ(static_cast<int32_t>(r.U32()), want.id);
        EXPECT_EQ(Upper(r.NameOrOrdinal()), Upper(want.className));
        EXPECT_EQ(Narrow(r.NameOrOrdinal()), Narrow(want.text));
        r.Skip(r.U16());  // creation data
        ASSERT_FALSE(r.Failed());
    }
    // The last item ends the template (the resource may be padded to the next 4 bytes).
    EXPECT_LE(r.Offset(), bytes.size());
    EXPECT_LT(bytes.size() - r.Offset(), 4U);
}

TEST(DialogTemplate, IsLanguageNeutral) {
    EXPECT_EQ(LanguageOfTemplate(ModulePath()), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

// The shipping module is built from the same template source; its bytes must match exactly.
TEST(DialogTemplate, ShippingModuleCarriesTheSameBytes) {
    const char* shipping = std::getenv("VS_SHIPPING_MODULE");
    if (shipping == nullptr || *shipping == 0) {
        GTEST_SKIP() << "VS_SHIPPING_MODULE not set";
    }
    if (GetFileAttributesW(WindowsPath(shipping).c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no shipping module at " << shipping;
    }
    const std::vector<uint8_t> mine = TemplateBytes(ModulePath());
    const std::vector<uint8_t> theirs = TemplateBytes(shipping);
    ASSERT_FALSE(theirs.empty()) << "no RT_DIALOG " << kTemplateNumber << " in " << shipping;
    EXPECT_EQ(mine, theirs);
    EXPECT_EQ(LanguageOfTemplate(shipping), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

}  // namespace
