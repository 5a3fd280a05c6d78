// The options dialog's template as the program carries it: read back from
// the resource itself, item by item, in template (and so tab) order.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/wide_text.h"

namespace {

struct Item {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD class_atom;
    std::string text;             // code page 932
};

struct Template {
    DWORD style;
    short cx, cy;
    std::string title;
    WORD point_size;
    std::string font;
    std::vector<Item> items;
};

// The resource holds UTF-16; the program's literals are code page 932.
std::string ansi_of(const WCHAR *text)
{
    char out[512];
    return to_cp932(text, out, sizeof out) ? std::string(out) : std::string();
}

const WORD *skip_string(const WORD *p)
{
    while (*p)
        p++;
    return p + 1;
}

const WORD *align_dword(const WORD *p, const BYTE *base)
{
    size_t offset = (size_t)((const BYTE *)p - base);
    return (const WORD *)(base + ((offset + 3) & ~(size_t)3));
}

bool read_template(Template *out)
{
    HRSRC found = FindResourceA(GetModuleHandleA(NULL), "IDD_INSTSUBDLG", (LPCSTR)RT_DIALOG);
    if (!found)
        return false;
    const BYTE *base = (const BYTE *)LockResource(LoadResource(GetModuleHandleA(NULL), found));
    const DLGTEMPLATE *head = (const DLGTEMPLATE *)base;
    out->style = head->style;
    out->cx = head->cx;
    out->cy = head->cy;
    const WORD *p = (const WORD *)(head + 1);
    EXPECT_EQ(0, *p) << "no menu";
    p++;
    EXPECT_EQ(0, *p) << "the standard dialog class";
    p++;
    out->title = ansi_of((const WCHAR *)p);
    p = skip_string(p);
    out->point_size = *p++;
    out->font = ansi_of((const WCHAR *)p);
    p = skip_string(p);
    for (int i = 0; i < head->cdit; i++) {
        p = align_dword(p, base);
        const DLGITEMTEMPLATE *item = (const DLGITEMTEMPLATE *)p;
        Item it{item->style, item->x, item->y, item->cx, item->cy, item->id, 0, ""};
        p = (const WORD *)(item + 1);
        EXPECT_EQ(0xFFFF, *p) << "item " << i << " names a predefined class";
        it.class_atom = p[1];
        p += 2;
        if (*p == 0xFFFF) {
            p += 2;
        } else {
            it.text = ansi_of((const WCHAR *)p);
            p = skip_string(p);
        }
        p += 1 + *p / sizeof(WORD);   // creation data
        out->items.push_back(it);
    }
    return true;
}

const WORD BUTTON = 0x80, EDIT = 0x81, STATIC = 0x82, COMBOBOX = 0x85;
const DWORD CHILD = WS_CHILD | WS_VISIBLE;

TEST(OptionsTemplate, DialogIsAnUntitledModalFrameOf221By201InMsPGothic9)
{
    Template t;
    ASSERT_TRUE(read_template(&t));
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style);
    EXPECT_EQ(221, t.cx);
    EXPECT_EQ(201, t.cy);
    EXPECT_EQ("", t.title);
    EXPECT_EQ(9, t.point_size);
    EXPECT_EQ("ＭＳ Ｐゴシック", t.font);
}

TEST(OptionsTemplate, ControlsInTabOrderWithTheirClassesStylesPlacesAndTexts)
{
    Template t;
    ASSERT_TRUE(read_template(&t));
    const std::vector<Item> expected = {
        {CHILD | WS_TABSTOP | BS_PUSHBUTTON, 141, 161, 73, 33, 1005, BUTTON, "インストール開始"},
        {CHILD | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_READONLY,
         7, 7, 207, 113, 1006, EDIT, ""},
        {CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 7, 179, 133, 96, 1007, COMBOBOX, ""},
        {CHILD | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY,
         7, 142, 160, 15, 1008, EDIT, ""},
        {CHILD | WS_TABSTOP | BS_PUSHBUTTON, 177, 141, 37, 16, 1009, BUTTON, "参照"},
        {CHILD | WS_GROUP | SS_LEFT, 7, 127, 207, 11, 0xFFFF, STATIC,
         "インストール先（存在しない場合、新しく作成します。）"},
        {CHILD | WS_GROUP | SS_LEFT, 7, 165, 121, 9, 0xFFFF, STATIC, "インストールオプション"},
    };
    ASSERT_EQ(expected.size(), t.items.size());
    for (size_t i = 0; i < expected.size(); i++) {
        SCOPED_TRACE("item " + std::to_string(i));
        const Item &e = expected[i], &a = t.items[i];
        EXPECT_EQ(e.id, a.id);
        EXPECT_EQ(e.class_atom, a.class_atom);
        EXPECT_EQ(e.style, a.style) << std::hex << (e.style ^ a.style);
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
        EXPECT_EQ(e.text, a.text);
    }
    // A plain push button: Enter must not press it.
    EXPECT_EQ(0u, t.items[0].style & BS_DEFPUSHBUTTON);
}

}  // namespace
