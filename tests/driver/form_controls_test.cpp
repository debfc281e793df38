// The families of form controls (text areas, radio buttons, check boxes, buttons, advanced
// buttons, image buttons): their shared shapes as one table, then each family's particulars.
#include <functional>
#include <vector>

#include "driver_page.h"

namespace trenmoor {
namespace {

using FormControlsTest = DriverPage;

// A family's operations as the table calls them. Each page holds controls a, b, c of the
// family with another control between them: a and c share the key k, and c has every
// attribute the by-position operation reads.
struct Family {
  const char* name;
  const char* markup;
  std::function<ComObject(PageDriver&, const Text&, std::int32_t)> find;
  std::function<std::int32_t(PageDriver&, const Text&)> index;
  std::function<bool(PageDriver&, const Text&)> focus;
  std::function<bool(PageDriver&, const Text&, bool)> showHide;  // null: the family cannot hide
  std::function<bool(PageDriver&, std::int32_t, std::vector<Text>&, ComObject&)> info;  // all outs given
  std::vector<Text> infoOfC;  // the outs of c, in the family's order
  std::function<std::int32_t(PageDriver&)> countAndMark;
};

std::vector<Text> outs(std::size_t n) { return std::vector<Text>(n, "sentinel"); }

const Family kFamilies[] = {
    {"text areas",
     "<textarea id=a class=k></textarea><input id=x name=k><textarea id=b>two</textarea>"
     "<textarea id=c class=k name=n3>v3</textarea>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findTextArea(k, s); },
     [](PageDriver& d, const Text& k) { return d.textAreaIndex(k); },
     [](PageDriver& d, const Text& k) { return d.focusTextArea(k); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideTextArea(k, 0, h); },
     [](PageDriver& d, std::int32_t p, std::vector<Text>& o, ComObject& e) {
       o = outs(3);
       return d.textAreaInfo(p, &o[0], &o[1], &o[2], &e);
     },
     {"v3", "n3", "c"}, [](PageDriver& d) { return d.countTextAreas(true); }},
    {"radio buttons",
     "<input type=radio id=a name=k><input type=checkbox id=x name=k><input type=radio id=b>"
     "<input type=radio id=c name=k title=T>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findRadio(k, s); },
     [](PageDriver& d, const Text& k) { return d.radioIndex(k); },
     [](PageDriver& d, const Text& k) { return d.focusRadio(k); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideRadio(k, 0, h); },
     [](PageDriver& d, std::int32_t p, std::vector<Text>& o, ComObject& e) {
       o = outs(4);
       return d.radioInfo(p, &o[0], &o[1], &o[2], &o[3], &e);
     },
     {"T", "k", "c", "radio"}, [](PageDriver& d) { return d.countRadios(true); }},
    {"check boxes",
     "<input type=checkbox id=a name=k><input type=radio id=x name=k><input type=checkbox id=b>"
     "<input type=checkbox id=c name=k title=T>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findCheckBox(k, s); },
     [](PageDriver& d, const Text& k) { return d.checkBoxIndex(k); },
     [](PageDriver& d, const Text& k) { return d.focusCheckBox(k); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideCheckBox(k, 0, h); },
     [](PageDriver& d, std::int32_t p, std::vector<Text>& o, ComObject& e) {
       o = outs(4);
       return d.checkBoxInfo(p, &o[0], &o[1], &o[2], &o[3], &e);
     },
     {"T", "k", "c", "checkbox"}, [](PageDriver& d) { return d.countCheckBoxes(true); }},
    {"buttons",
     "<input type=submit id=a name=k value=go><input type=text id=x name=k><input type=reset id=b>"
     "<button id=c name=k title=T>cap</button>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findButton(k, s); },
     [](PageDriver& d, const Text& k) { return d.buttonIndex(k); },
     [](PageDriver& d, const Text& k) { return d.focusButton(k); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideButton(k, 0, h); },
     [](PageDriver& d, std::int32_t p, std::vector<Text>& o, ComObject& e) {
       o = outs(4);
       return d.buttonInfo(p, &o[0], &o[1], &o[2], &o[3], &e);
     },
     {"cap", "k", "c", "submit"}, [](PageDriver& d) { return d.countButtons(true); }},
    {"advanced buttons",
     "<cite id=a class=k>one</cite><span id=x class=k></span><cite id=b>two</cite>"
     "<cite id=c class=k name=n3>v3</cite>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findAdvancedButton(k, s); },
     [](PageDriver& d, const Text& k) { return d.advancedButtonIndex(k); },
     [](PageDriver& d, const Text& k) { return d.focusAdvancedButton(k); },
     [](PageDriver& d, const Text& k, bool h) { return d.showHideAdvancedButton(k, 0, h); },
     [](PageDriver& d, std::int32_t p, std::vector<Text>& o, ComObject& e) {
       o = outs(3);
       return d.advancedButtonInfo(p, &o[0], &o[1], &o[2], &e);
     },
     {"v3", "n3", "c"}, [](PageDriver& d) { return d.countAdvancedButtons(true); }},
    {"image buttons",
     "<input type=image id=a name=k src=go.png><img id=x name=k src=go.png><input type=image id=b>"
     "<input type=image id=c name=k title=T>",
     [](PageDriver& d, const Text& k, std::int32_t s) { return d.findImageButton(k, s); },
     [](PageDriver& d, const Text& k) { return d.imageButtonIndex(k); },
     [](PageDriver& d, const Text& k) { return d.focusImageButton(k); }, nullptr,
     [](PageDriver& d, std::int32_t p, std::vector<Text>& o, ComObject& e) {
       o = outs(4);
       return d.imageButtonInfo(p, &o[0], &o[1], &o[2], &o[3], &e);
     },
     {"T", "k", "c", "image"}, [](PageDriver& d) { return d.countImageButtons(true); }},
};

TEST_F(FormControlsTest, FamiliesFindSkipIndexFocusHideAndFetchByPosition) {
  for (const Family& family : kFamilies) {
    SCOPED_TRACE(family.name);
    load(family.markup);
    EXPECT_EQ(idOf(family.find(driver_, "k", 0)), "a");
    EXPECT_EQ(idOf(family.find(driver_, "k", 1)), "c");  // the other control named k is not counted
    EXPECT_EQ(idOf(family.find(driver_, "2", 0)), "b");  // a position as a key
    EXPECT_TRUE(family.find(driver_, "k", 2).empty());
    EXPECT_TRUE(family.find(driver_, "missing", 0).empty());
    EXPECT_EQ(family.index(driver_, "c"), 3);
    EXPECT_EQ(family.index(driver_, "k"), 1);
    EXPECT_EQ(family.index(driver_, "missing"), -1);

    EXPECT_TRUE(family.focus(driver_, "b"));
    EXPECT_TRUE(document().getObject("activeElement").sameObject(byId("b")));
    EXPECT_FALSE(family.focus(driver_, "missing"));
    EXPECT_TRUE(document().getObject("activeElement").sameObject(byId("b")));

    if (family.showHide) {
      EXPECT_TRUE(family.showHide(driver_, "b", true));
      EXPECT_EQ(byId("b").getObject("style").getText("display"), "none");
      EXPECT_TRUE(family.showHide(driver_, "b", false));
      EXPECT_EQ(byId("b").getObject("style").getText("display"), "");
      EXPECT_FALSE(family.showHide(driver_, "missing", true));
    }

    std::vector<Text> got;
    ComObject element;
    EXPECT_TRUE(family.info(driver_, 3, got, element));
    EXPECT_EQ(got, family.infoOfC);
    EXPECT_EQ(idOf(element), "c");
    EXPECT_FALSE(family.info(driver_, 9, got, element));
    EXPECT_EQ(got, std::vector<Text>(got.size(), ""));
    EXPECT_TRUE(element.empty());
    // Position 0 finds only a control whose compared attribute reads 0.
    EXPECT_FALSE(family.info(driver_, 0, got, element));

    EXPECT_EQ(family.countAndMark(driver_), 3);
  }
}

// What each family's labelling writes, on the second of three controls.
TEST_F(FormControlsTest, CountingLabelsEachFamilyItsOwnWay) {
  struct Case {
    const char* name;
    std::size_t family;
    const char* property;  // read from b, or from what follows b
    bool afterB;
    const char* reads;  // UTF-8
  } cases[] = {
      // A text area holds text only: its label stands in it as the markup's characters.
      {"text area: red label inserted first", 0, "value", false, "<font color=red>多行文本框2</font>two"},
      {"radio: red bracket after it", 1, "outerHTML", true, "<FONT color=\"red\">[单2]</FONT>"},
      {"check box: red bracket after it", 2, "outerHTML", true, "<FONT color=\"red\">[复2]</FONT>"},
      {"input button: its value", 3, "value", false, "按钮2"},
      {"cite: red label inserted first", 4, "innerText", false, "高级按钮2two"},
      {"image button: its value", 5, "value", false, "图形按钮2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    load(kFamilies[c.family].markup);
    ComObject b = byId("b");
    EXPECT_EQ(kFamilies[c.family].countAndMark(driver_), 3);
    ComObject read = c.afterB ? byId("b").getObject("nextSibling") : b;
    EXPECT_EQ(ansiToUtf8(read.getText(c.property)), c.reads);
  }
  // A button element takes its label as its text, counted on after the inputs.
  load(kFamilies[3].markup);
  driver_.countButtons(true);
  EXPECT_EQ(ansiToUtf8(byId("c").getText("innerText")), "按钮3");
  EXPECT_EQ(byId("x").getText("value"), "");
}

TEST_F(FormControlsTest, TextAreaValueAndPositionBeforeALaterId) {
  load("<textarea id=first>a</textarea><textarea></textarea><textarea id=2>c</textarea>");
  EXPECT_EQ(idOf(driver_.findTextArea("2")), "");  // the second, which has no id
  EXPECT_EQ(driver_.textAreaIndex("2"), 2);
  EXPECT_TRUE(driver_.setTextAreaValue("first", "new <b>text</b>"));
  EXPECT_EQ(driver_.getTextAreaValue("first"), "new <b>text</b>");
  EXPECT_EQ(byId("first").getText("innerText"), "new <b>text</b>");
  EXPECT_FALSE(driver_.setTextAreaValue("missing", "x"));
  EXPECT_EQ(driver_.getTextAreaValue("missing"), "");
  // Only the element variable given: nothing else is touched.
  ComObject element;
  EXPECT_TRUE(driver_.textAreaInfo(1, nullptr, nullptr, nullptr, &element));
  EXPECT_EQ(idOf(element), "first");
}

TEST_F(FormControlsTest, RadioGroupsUncheckEachOtherAndMouseDownFiresAfterTheCheck) {
  load(R"html(<input type=radio id=r1 name=g checked><form><input type=radio id=f1 name=g checked></form>
          <input type=radio id=r2 name=g onmousedown="document.title += (this.checked ? 'on;' : 'off;')">)html");
  EXPECT_TRUE(driver_.isRadioChecked("r1"));
  EXPECT_TRUE(driver_.checkRadio("r2"));
  EXPECT_TRUE(driver_.isRadioChecked("r2"));
  EXPECT_FALSE(driver_.isRadioChecked("r1"));  // the same name outside a form
  EXPECT_TRUE(driver_.isRadioChecked("f1"));   // another group: the one of its form
  EXPECT_EQ(document().getText("title"), "");  // nothing fired without `fire`

  EXPECT_TRUE(driver_.checkRadio("r2", 0, true));
  EXPECT_EQ(document().getText("title"), "on;");
  EXPECT_TRUE(driver_.uncheckRadio("r2", 0, true));
  EXPECT_EQ(document().getText("title"), "on;off;");
  EXPECT_FALSE(driver_.isRadioChecked("r2"));

  EXPECT_FALSE(driver_.checkRadio("missing", 0, true));
  EXPECT_FALSE(driver_.isRadioChecked("missing"));
}

TEST_F(FormControlsTest, CheckBoxesToggleThroughTheirOperations) {
  load("<input type=checkbox id=c><input type=checkbox id=d checked>");
  EXPECT_FALSE(driver_.isCheckBoxChecked("c"));
  EXPECT_TRUE(driver_.checkCheckBox("c"));
  EXPECT_TRUE(driver_.isCheckBoxChecked("c"));
  EXPECT_TRUE(driver_.isCheckBoxChecked("d"));  // check boxes do not group
  EXPECT_TRUE(driver_.uncheckCheckBox("c"));
  EXPECT_FALSE(driver_.isCheckBoxChecked("c"));
  EXPECT_FALSE(driver_.isCheckBoxChecked("missing"));
  EXPECT_FALSE(driver_.uncheckCheckBox("missing"));
}

TEST_F(FormControlsTest, ButtonElementsFollowEveryInputButton) {
  load(R"(<button id=first onclick="document.title='pressed'">B</button><input type=submit id=s1 value=v title=t>
          <input type=button id=s2 name=same><input type=button id=s3 name=same>)");
  EXPECT_EQ(driver_.buttonIndex("first"), 4);
  EXPECT_EQ(driver_.buttonIndex("same"), 2);  // the first of two
  Text caption, type;
  ComObject element;
  EXPECT_TRUE(driver_.buttonInfo(1, &caption, nullptr, nullptr, &type, &element));
  EXPECT_EQ(idOf(element), "s1");
  EXPECT_EQ(caption, "t");  // an input's title, not its value
  EXPECT_EQ(type, "submit");
  EXPECT_TRUE(driver_.buttonInfo(2, &caption));
  EXPECT_EQ(caption, "");
  EXPECT_TRUE(driver_.buttonInfo(4, &caption));
  EXPECT_EQ(caption, "B");

  EXPECT_FALSE(driver_.clickButton("missing"));
  EXPECT_EQ(document().getText("title"), "");
  EXPECT_TRUE(driver_.clickButton("first"));
  EXPECT_EQ(document().getText("title"), "pressed");
}

TEST_F(FormControlsTest, AdvancedButtonsAreCitesAndImageButtonsOnlyImageInputs) {
  load(R"(<img id=pic name=go src=go.png><button id=b name=go>b</button>
          <cite id=c class=save onclick="document.title='saved'">Save</cite>
          <input type=image id=i name=go src=go.png onclick="document.title+='+image'">)");
  EXPECT_TRUE(driver_.clickAdvancedButton("Save"));
  EXPECT_EQ(document().getText("title"), "saved");
  EXPECT_EQ(driver_.getAdvancedButtonHtml("save"), byId("c").getText("outerHTML"));
  EXPECT_NE(driver_.getAdvancedButtonHtml("save").find("CITE"), Text::npos);
  EXPECT_EQ(driver_.getAdvancedButtonHtml("missing"), "");
  EXPECT_FALSE(driver_.clickAdvancedButton("missing"));

  EXPECT_EQ(idOf(driver_.findImageButton("go")), "i");
  EXPECT_EQ(driver_.countImageButtons(), 1);
  EXPECT_NE(driver_.getImageButtonHtml("go").find("src=\"go.png\""), Text::npos);
  EXPECT_EQ(driver_.getImageButtonHtml("missing"), "");
  EXPECT_TRUE(driver_.clickImageButton("go"));
  EXPECT_EQ(document().getText("title"), "saved+image");
}

}  // namespace
}  // namespace trenmoor
