#include "app/main_form_description.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

TEST(MainFormDescription, WindowAndControlsAsTheLayoutGivesThem)
{
    const TFormDescription& form = MainFormDescription();
    EXPECT_EQ(form.Caption, "TALVERN Ver.1.10");
    EXPECT_EQ(form.Width, 480);
    EXPECT_EQ(form.Height, 384);
    EXPECT_EQ(form.FontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(form.FontHeight, -12);
    EXPECT_EQ(form.FontCharset, 128);
    EXPECT_EQ(form.Controls.size(), 31u);

    std::map<std::string, const TControlDescription*> byName;
    std::map<std::string, std::set<int>> tabOrders;
    for (const TControlDescription& c : form.Controls) {
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(byName.emplace(c.Name, &c).second) << "named twice";
        // A parent comes before its children, so the window can be built in order.
        if (!c.Parent.empty()) {
            EXPECT_TRUE(byName.count(c.Parent)) << "parent " << c.Parent;
        }
        if (c.TabOrder >= 0) {
            EXPECT_TRUE(tabOrders[c.Parent].insert(c.TabOrder).second) << "tab order taken";
        }
    }
    ASSERT_TRUE(byName.count(form.ActiveControl));
    // Graphic controls take no focus.
    for (const char* name : {"Image", "ShapeClip", "Label1", "Label5"}) EXPECT_EQ(byName[name]->TabOrder, -1);
    EXPECT_TRUE(byName["ButtonCancel"]->Cancel);
    EXPECT_EQ(byName["ButtonCancel"]->Caption, "キャンセル");
    EXPECT_EQ(byName["ListViewClip"]->Parts,
              (std::vector<std::pair<std::string, int>>{{"クリップファイル", 206}, {"結果", 38}}));
    EXPECT_EQ(byName["StatusBar"]->Parts[1].first, "ファイルをドラッグ＆ドロップして下さい");
    // The six edits and the information button share the rectangle's handlers.
    for (const char* name : {"EditLeft", "EditTop", "EditRight", "EditBottom", "EditWidth", "EditHeight"}) {
        const auto& events = byName[name]->Events;
        ASSERT_EQ(events.size(), 2u) << name;
        EXPECT_EQ(events[0].Handler, "EditClipExit");
        EXPECT_EQ(events[1].Handler, "EditClipKeyPress");
    }
    EXPECT_EQ(byName["ButtonImageInfo"]->Events.at(0).Handler, "EditClipExit");
}

}  // namespace
