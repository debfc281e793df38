// PageDriver: the page-automation driver. It is bound to one browser window and holds one
// reference to the HTML document shown in it; its operations read and change that document by
// late binding. Operations are virtual and call one another through the driver's table; each is
// declared at its slot of that table (driver/operation_slots.txt lists the slots in order, and
// a test pins the declarations to it), so a new operation goes in at its slot, not at the end.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/com_object.h"
#include "platform/window_calls.h"

namespace trenmoor {

class PageDriver {
 public:
  // A new driver: empty document, window 0; initialises COM for this thread.
  PageDriver();
  // Slot 1, clean-up: releases the document, then balances the creation's COM initialisation.
  virtual ~PageDriver();
  // Slot 2, copy: the same window and a new reference to the same document; initialises COM
  // like a new driver so that its clean-up is balanced.
  PageDriver(const PageDriver& other);
  PageDriver& operator=(const PageDriver& other);

  // --- attaching to a browser window and its document ------------------------------------
  // Slot 3: binds the driver to the window and fetches the document of the browser inside it.
  // False (nothing changed) when the handle is not a window; otherwise whether a document is
  // held afterwards.
  virtual bool attach(win::HWND window);
  // Slot 4: a new reference to the document; empty when the driver has none.
  virtual ComObject getDocument();
  // Slot 5: drops the document; the window stays.
  virtual void releaseDocument();
  // Slot 6: the first descendant of `parent`, depth first, whose class is
  // "Internet Explorer_Server"; 0 when none. Pending window events run between siblings.
  virtual win::HWND findBrowserServerWindow(win::HWND parent);
  // Slot 7: fetches the document of the browser document window at or under `window` into
  // `document`. False, with `document` unchanged, when there is none or it does not answer.
  virtual bool documentFromWindow(win::HWND window, ComObject& document);

  // --- element census ----------------------------------------------------------------------
  // Slot 8: walks the elements of the tags in `tagList` ("|"-separated) whose kind word is in
  // `typeList`, labels each kept control with its ordinal when `mark` (kinds 0-6) and appends
  // the kind's columns; kinds 12 and 13 walk the body's list items and spans instead, kind 9
  // keeps elements that carry a title. The number of entries in innerTexts (kinds 12, 13) or
  // typeNames (the others), old entries included.
  virtual std::int32_t takeElementCensus(std::int32_t kind, const Text& tagList, const Text& typeList,
                                         std::vector<Text>& innerTexts, std::vector<Text>& values,
                                         std::vector<Text>& names, std::vector<Text>& ids,
                                         std::vector<Text>& typeNames, std::vector<Text>& hrefs,
                                         std::vector<Text>& srcs, std::vector<Text>& sizesA,
                                         std::vector<Text>& sizesB, std::vector<Text>& checkedStates,
                                         std::vector<Text>& outerHtmls, bool mark, std::vector<Text>& titles,
                                         std::vector<Text>& titledHrefs, std::vector<ComObject>& elements);

  // --- element marking and attribute lookup ----------------------------------------------
  // Markers count the elements of a kind and, with `mark`, label each with its ordinal on the
  // page. Finders apply the element lookup rule: `counter` (start it at 0) ends at the found
  // element's position among the counted elements, or -1 with an empty result.
  // Slot 9: inputs passing the filter; labels a red bracketed ordinal after each.
  virtual std::int32_t markInputsAfter(const Text& filter, const Text& label, bool mark);
  // Slot 10: inputs passing the filter, then buttons when the filter names them; labels their
  // value (a button's text) with the kind label and ordinal.
  virtual std::int32_t markInputValues(const Text& filter, const Text& label, bool mark);
  // Slot 11: inputs (then buttons) passing the filter, by name, id, title.
  virtual ComObject lookupInput(const Text& filter, const Text& key, std::int32_t skip, std::int32_t& counter);
  // Slot 12: inputs passing the filter, then every image when the filter names "image": labels
  // the title; collects src, width, height, name, id, title.
  virtual std::int32_t markImages(const Text& filter, const Text& label, bool mark, bool collect,
                                  std::vector<Text>& sources, std::vector<Text>& widths, std::vector<Text>& heights,
                                  std::vector<Text>& names, std::vector<Text>& ids, std::vector<Text>& titles);
  // Slot 13: the same elements, by a part of src, then name, id, title.
  virtual ComObject lookupImage(const Text& filter, const Text& key, std::int32_t skip, std::int32_t& counter);
  // Slots 14-25: the tag-only families (the tag argument is accepted and not used).
  virtual std::int32_t markDivs(const Text& tag, const Text& label, bool mark);
  virtual ComObject lookupDiv(const Text& tag, const Text& key, std::int32_t skip, std::int32_t& counter);
  virtual std::int32_t markSpans(const Text& tag, const Text& label, bool mark);
  virtual ComObject lookupSpan(const Text& tag, const Text& key, std::int32_t skip, std::int32_t& counter);
  virtual std::int32_t markListItems(const Text& tag, const Text& label, bool mark);
  virtual ComObject lookupListItem(const Text& tag, const Text& key, std::int32_t skip, std::int32_t& counter);
  virtual std::int32_t markTextAreas(const Text& tag, const Text& label, bool mark);
  virtual ComObject lookupTextArea(const Text& tag, const Text& key, std::int32_t skip, std::int32_t& counter);
  // Links: with `collect`, appends href, innerText, name, id of each and labels nothing.
  virtual std::int32_t markLinks(const Text& tag, const Text& label, bool mark, bool collect,
                                 std::vector<Text>& hrefs, std::vector<Text>& innerTexts,
                                 std::vector<Text>& names, std::vector<Text>& ids);
  virtual ComObject lookupLink(const Text& tag, const Text& key, std::int32_t skip, std::int32_t& counter);
  virtual std::int32_t markCites(const Text& tag, const Text& label, bool mark);
  virtual ComObject lookupCite(const Text& tag, const Text& key, std::int32_t skip, std::int32_t& counter);

  // --- labelling all form controls -----------------------------------------------------------
  // Slot 26: labels every text input, text area, radio button, check box, button, select,
  // advanced button and image button with its ordinal, kind by kind.
  virtual void markAllFormControls();

  // --- page-level operations ---------------------------------------------------------------
  // Script languages of runScript.
  static constexpr std::int32_t kJavaScript = 0;
  static constexpr std::int32_t kVBScript = 1;

  // Slot 27: the main document plus the documents of its frames, four levels deep; 0 without a
  // document. A frame whose document is refused counts one.
  virtual std::int32_t countFrameDocuments();
  // Slot 28: navigates the page's window to the URL ("http://" put before it unless it starts
  // with "http" in any case).
  virtual void navigateTo(const Text& url);
  // Slot 29: writes the document's location with the URL, prefixed the same way.
  virtual void setLocation(const Text& url);
  // Slot 30: writes the body style's zoom as percentage / 100; the percentage written.
  virtual std::int32_t setZoom(std::int32_t percentage);
  // Slots 31-33: the page's text and markup (through wideToAnsi) and its title.
  virtual Text getPageText();
  virtual Text getPageHtml();
  virtual Text getTitle();
  // Slot 34: runs the script in the page's window as JavaScript (kJavaScript) or VBScript
  // (kVBScript); any other language runs nothing. Script errors are not reported.
  virtual void runScript(const Text& script, std::int32_t language);
  // Slot 35: lets the page be selected, its context menu shown and its mouse and keys used, by
  // replacing the document's handlers that refuse them.
  virtual void unlockPage();
  // Slot 36: calls FireEvent of the element with the event name and the handler the element
  // holds for it; the call's logical result. False for an empty element.
  virtual bool fireElementEvent(const ComObject& element, const Text& eventName);
  // Slot 37: reloads the page from a script of its own.
  virtual void reloadPage();
  // Slots 38-39: a property of the document by name, as text; its write (whether it
  // succeeded).
  virtual Text getDocumentProperty(const Text& name);
  virtual bool setDocumentProperty(const Text& name, const Text& value);
  // Slot 40: writes the body's innerHTML; whether the write succeeded.
  virtual bool setBodyHtml(const Text& markup);
  // Slots 45-47: the document's domain, location (its address) and charset.
  virtual Text getDomain();
  virtual Text getLocation();
  virtual Text getCharset();

  // --- selection and scripts of the page ---------------------------------------------------
  // Slot 48: the selection's text, or its markup when `form` > 0; empty without a selection.
  virtual Text getSelectionText(std::int32_t form = 0);
  // Slot 49: replaces the page's alert, confirm, prompt and showModalDialog with functions that
  // show nothing.
  virtual void suppressDialogs();
  // Slot 50: the document's fileSize, as text.
  virtual Text getFileSize();
  // Slot 51: hides the page's scroll bars with a style rule.
  virtual void hideScrollBars();
  // Slot 56: replaces the selection with the markup.
  virtual void pasteHtmlAtSelection(const Text& html);
  // Slot 57: writes the text into the document stream, neither opening nor closing it.
  virtual void documentWrite(const Text& text);
  // Slot 58: wraps every occurrence of the keyword in the body in coloured markup (bold: a B
  // element, else a font element). Empty colours become ff0000 and D6F20D and are stored back
  // into the given variables. An empty keyword changes nothing.
  virtual void highlightKeyword(const Text& keyword, Text* foreground = nullptr, Text* background = nullptr,
                                bool bold = false);

  // --- text inputs (type text, password or file) ------------------------------------------
  // Slot 59: the text input the lookup rule finds; empty when none.
  virtual ComObject findTextInput(const Text& key, std::int32_t skip = 0);
  // Slot 60: the number of text inputs; with `mark`, each gets the value 文本框N.
  virtual std::int32_t countTextInputs(bool mark = false);
  // Slot 61: its value.
  virtual Text getTextInputValue(const Text& key, std::int32_t skip = 0);
  // Slot 62: the position among text inputs, or -1.
  virtual std::int32_t textInputIndex(const Text& key);
  // Slot 63: the text input at a position (looked up as a key); fills the given outs.
  virtual bool textInputInfo(std::int32_t position, Text* value = nullptr, Text* name = nullptr, Text* id = nullptr,
                             Text* type = nullptr, ComObject* element = nullptr);
  // Slot 64: writes the value; whether the write succeeded.
  virtual bool setTextInputValue(const Text& key, const Text& value, std::int32_t skip = 0);
  // Slot 65: whether the input was found (and focused).
  virtual bool focusTextInput(const Text& key, std::int32_t skip = 0);

  // --- file inputs ----------------------------------------------------------------------
  // Slot 66: clicks the text input found by the key while the open-file dialog is redirected to
  // answer with `path` (code page 936), so a file input takes the path as its value.
  virtual void fillFileInput(const Text& key, const Text& path, std::int32_t skip = 0);

  // --- text areas ----------------------------------------------------------------------
  // Slot 67: the text area the lookup rule finds (innerText, className, id, title, name).
  virtual ComObject findTextArea(const Text& key, std::int32_t skip = 0);
  // Slot 68: focuses it; whether it was found.
  virtual bool focusTextArea(const Text& key, std::int32_t skip = 0);
  // Slot 69: hides (display none) or shows (display empty) it; whether the write succeeded.
  virtual bool showHideTextArea(const Text& key, std::int32_t skip = 0, bool hide = false);
  // Slot 70: the number of text areas; with `mark`, each begins with a red label 多行文本框N.
  virtual std::int32_t countTextAreas(bool mark = false);
  // Slot 71: its value.
  virtual Text getTextAreaValue(const Text& key, std::int32_t skip = 0);
  // Slot 72: the position among text areas, or -1.
  virtual std::int32_t textAreaIndex(const Text& key, std::int32_t skip = 0);
  // Slot 73: the text area at a position (looked up as a key); fills the given outs.
  virtual bool textAreaInfo(std::int32_t position, Text* value = nullptr, Text* name = nullptr, Text* id = nullptr,
                            ComObject* element = nullptr);
  // Slot 74: writes the value; whether the write succeeded.
  virtual bool setTextAreaValue(const Text& key, const Text& value, std::int32_t skip = 0);

  // --- radio buttons -----------------------------------------------------------------------
  // Slot 75: the radio button the lookup rule finds (name, id, title).
  virtual ComObject findRadio(const Text& key, std::int32_t skip = 0);
  // Slot 76: whether its checked state reads "-1"; false when it is missing.
  virtual bool isRadioChecked(const Text& key, std::int32_t skip = 0);
  // Slot 77: the number of radio buttons; with `mark`, a red [单N] follows each.
  virtual std::int32_t countRadios(bool mark = false);
  // Slot 78: the position among radio buttons, or -1.
  virtual std::int32_t radioIndex(const Text& key, std::int32_t skip = 0);
  // Slot 79: the radio button at a position (looked up as a key); fills the given outs.
  virtual bool radioInfo(std::int32_t position, Text* title = nullptr, Text* name = nullptr, Text* id = nullptr,
                         Text* type = nullptr, ComObject* element = nullptr);
  // Slots 80-81: checks or clears it, then with `fire` runs its onmousedown handler; whether it
  // was found.
  virtual bool checkRadio(const Text& key, std::int32_t skip = 0, bool fire = false);
  virtual bool uncheckRadio(const Text& key, std::int32_t skip = 0, bool fire = false);
  // Slot 82: focuses it; whether it was found.
  virtual bool focusRadio(const Text& key, std::int32_t skip = 0);
  // Slot 83: hides or shows it; whether the write succeeded.
  virtual bool showHideRadio(const Text& key, std::int32_t skip = 0, bool hide = false);

  // --- check boxes -----------------------------------------------------------------------
  // Slots 84-92: as the radio buttons, for inputs of type checkbox (labels [复N]).
  virtual ComObject findCheckBox(const Text& key, std::int32_t skip = 0);
  virtual bool isCheckBoxChecked(const Text& key, std::int32_t skip = 0);
  virtual std::int32_t countCheckBoxes(bool mark = false);
  virtual std::int32_t checkBoxIndex(const Text& key, std::int32_t skip = 0);
  virtual bool checkBoxInfo(std::int32_t position, Text* title = nullptr, Text* name = nullptr, Text* id = nullptr,
                            Text* type = nullptr, ComObject* element = nullptr);
  virtual bool checkCheckBox(const Text& key, std::int32_t skip = 0, bool fire = false);
  virtual bool uncheckCheckBox(const Text& key, std::int32_t skip = 0, bool fire = false);
  virtual bool focusCheckBox(const Text& key, std::int32_t skip = 0);
  virtual bool showHideCheckBox(const Text& key, std::int32_t skip = 0, bool hide = false);

  // --- buttons (inputs of type button, submit, reset; then button elements) ------------------
  // Slot 93: the button the lookup rule finds (name, id, title).
  virtual ComObject findButton(const Text& key, std::int32_t skip = 0);
  // Slot 94: the button at a position; its caption is a button element's text or an input's
  // title.
  virtual bool buttonInfo(std::int32_t position, Text* caption = nullptr, Text* name = nullptr, Text* id = nullptr,
                          Text* type = nullptr, ComObject* element = nullptr);
  // Slot 95: the number of buttons; with `mark`, each value (a button element's text) becomes
  // 按钮N.
  virtual std::int32_t countButtons(bool mark = false);
  // Slot 96: the position of the first button the key matches, or -1.
  virtual std::int32_t buttonIndex(const Text& key);
  // Slots 97-99: focus, hide or show, click; whether it was found (hiding: whether the write
  // succeeded).
  virtual bool focusButton(const Text& key, std::int32_t skip = 0);
  virtual bool showHideButton(const Text& key, std::int32_t skip = 0, bool hide = false);
  virtual bool clickButton(const Text& key, std::int32_t skip = 0);

  // --- advanced buttons (cite elements) -------------------------------------------------
  // Slot 100: the cite element the lookup rule finds (innerText, className, id, title).
  virtual ComObject findAdvancedButton(const Text& key, std::int32_t skip = 0);
  // Slot 101: the advanced button at a position; fills the given outs.
  virtual bool advancedButtonInfo(std::int32_t position, Text* innerText = nullptr, Text* name = nullptr,
                                  Text* id = nullptr, ComObject* element = nullptr);
  // Slot 102: the number of cite elements; with `mark`, each begins with a red 高级按钮N.
  virtual std::int32_t countAdvancedButtons(bool mark = false);
  // Slot 103: the position among cite elements, or -1.
  virtual std::int32_t advancedButtonIndex(const Text& key, std::int32_t skip = 0);
  // Slot 104: clicks it; whether it was found.
  virtual bool clickAdvancedButton(const Text& key, std::int32_t skip = 0);
  // Slot 105: its outerHTML.
  virtual Text getAdvancedButtonHtml(const Text& key, std::int32_t skip = 0);
  // Slots 106-107: focus; hide or show.
  virtual bool focusAdvancedButton(const Text& key, std::int32_t skip = 0);
  virtual bool showHideAdvancedButton(const Text& key, std::int32_t skip = 0, bool hide = false);

  // --- image buttons (inputs of type image) -----------------------------------------------
  // Slot 108: the image input the lookup rule finds (name, id, title).
  virtual ComObject findImageButton(const Text& key, std::int32_t skip = 0);
  // Slot 109: the image button at a position; fills the given outs.
  virtual bool imageButtonInfo(std::int32_t position, Text* title = nullptr, Text* name = nullptr, Text* id = nullptr,
                               Text* type = nullptr, ComObject* element = nullptr);
  // Slot 110: the number of image buttons; with `mark`, each value becomes 图形按钮N.
  virtual std::int32_t countImageButtons(bool mark = false);
  // Slot 111: the position among image buttons, or -1.
  virtual std::int32_t imageButtonIndex(const Text& key, std::int32_t skip = 0);
  // Slot 112: clicks it; whether it was found.
  virtual bool clickImageButton(const Text& key, std::int32_t skip = 0);
  // Slot 113: its outerHTML.
  virtual Text getImageButtonHtml(const Text& key, std::int32_t skip = 0);
  // Slot 114: focuses it; whether it was found.
  virtual bool focusImageButton(const Text& key, std::int32_t skip = 0);

  // --- links ---------------------------------------------------------------------------
  // Slot 115: the link the lookup rule finds; empty when none.
  virtual ComObject findLink(const Text& key, std::int32_t skip = 0);
  // Slot 116: the number of links; with `mark`, each gets a red label 链N.
  virtual std::int32_t countLinks(bool mark = false);
  // Slot 117: the link at a position (looked up as a key); fills the given outs.
  virtual bool linkInfo(std::int32_t position, Text* innerText = nullptr, Text* href = nullptr, Text* name = nullptr,
                        Text* id = nullptr, ComObject* element = nullptr);
  // Slot 118: the position among all links, or -1.
  virtual std::int32_t linkIndex(const Text& key, std::int32_t skip = 0);
  // Slot 119: clicks the link (with `clearTarget`, in the browser box itself); whether it was
  // found.
  virtual bool clickLink(const Text& key, std::int32_t skip = 0, bool clearTarget = false);
  // Slot 120: its outerHTML.
  virtual Text getLinkHtml(const Text& key, std::int32_t skip = 0);
  // Slot 121: its innerText.
  virtual Text getLinkText(const Text& key, std::int32_t skip = 0);
  // Slot 122: focuses it; whether it was found.
  virtual bool focusLink(const Text& key, std::int32_t skip = 0);
  // Slot 123: hides (display none) or shows (display empty) the link; whether the write
  // succeeded.
  virtual bool showHideLink(const Text& key, std::int32_t skip = 0, bool hide = false);
  // Slot 124: appends innerText, href, name and id of every link; the number of links.
  virtual std::int32_t listLinks(std::vector<Text>& innerTexts, std::vector<Text>& hrefs, std::vector<Text>& names,
                                 std::vector<Text>& ids);

  // --- images (image inputs, then img elements) and image capture --------------------------
  // Codes of captureImage's format: 0 the clipboard's BMP bytes as taken, else re-encoded.
  enum PictureFormat : std::int32_t { kPictureAsTaken = 0, kBmp = 1, kJpeg = 2, kGif = 3, kTiff = 4, kPng = 5 };
  // Slot 125: copies the image the key finds through the clipboard; its BMP bytes, or re-encoded
  // in `format` (the BMP bytes when that fails); empty when the copy fails.
  virtual Bytes captureImage(const Text& key, std::int32_t format = kPictureAsTaken);
  // Slot 126: the clipboard's bitmap as a 24-bit BMP file, emptying the clipboard; empty when
  // there is no bitmap (the clipboard then keeps what it holds).
  virtual Bytes clipboardBitmapToBmp();
  // Slot 127: clicks the image; whether it was found.
  virtual bool clickImage(const Text& key = "", std::int32_t skip = 0);
  // Slot 128: the image the lookup rule finds (a part of src, then name, id, title).
  virtual ComObject findImage(const Text& key, std::int32_t skip = 0);
  // Slot 129: appends src, width, height, name, id and title of every image to the given
  // arrays; the number of images. Labels nothing.
  virtual std::int32_t listImages(std::vector<Text>* sources = nullptr, std::vector<Text>* widths = nullptr,
                                  std::vector<Text>* heights = nullptr, std::vector<Text>* names = nullptr,
                                  std::vector<Text>* ids = nullptr, std::vector<Text>* titles = nullptr);
  // Slot 130: the number of images; with `mark`, each title becomes 图片N.
  virtual std::int32_t countImages(bool mark = false);
  // Slot 131: the image at a position (looked up as a key); fills the given outs.
  virtual bool imageInfo(std::int32_t position, Text* src = nullptr, Text* width = nullptr, Text* height = nullptr,
                         Text* title = nullptr, Text* name = nullptr, Text* id = nullptr, ComObject* element = nullptr);
  // Slot 132: the position among images, or -1.
  virtual std::int32_t imageIndex(const Text& key, std::int32_t skip = 0);
  // Slot 133: hides (display none) or shows (display empty) the image; whether the write
  // succeeded.
  virtual bool showHideImage(const Text& key = "", std::int32_t skip = 0, bool hide = false);

  // --- drop-down selects (by 1-based position; option positions 1-based too) ----------------
  // Codes of selectCommand.
  enum SelectOp : std::int32_t {
    kOptionCount = 0,      // optionCount := length
    kOptionText = 1,       // optionText := text of the option
    kSetOptionText = 2,    // text of the option := newText
    kOptionValue = 3,      // optionValue := value of the option
    kSetOptionValue = 4,   // value of the option := newValue
    kSelectedIndex = 5,    // selectedIndex := the page's 0-based selectedIndex
    kSelectByPosition = 6, // selects the option, then fires onchange
    kSelectByText = 7,     // selects the first option whose text equals, then fires onchange
    kCountAndLabel = 10,   // selectCount; with `mark`, labels every select
  };
  // Slot 134: walks the page's selects; `selectElement` takes each in turn, so it ends at the
  // select acted on or the last one. True when the select at `selectPosition` was acted on
  // (reads), or the write's success (writes); otherwise false with `selectCount` := the number
  // of selects. Labelling a select sets selectedIndex 0 and its first option's text to 组合框N.
  virtual bool selectCommand(std::int32_t selectPosition = 0, std::int32_t op = 0, std::int32_t optionPosition = 0,
                             std::int32_t* optionCount = nullptr, Text* optionText = nullptr, const Text& newText = {},
                             Text* optionValue = nullptr, const Text& newValue = {},
                             std::int32_t* selectCount = nullptr, bool mark = false,
                             std::int32_t* selectedIndex = nullptr, const Text& textToSelect = {},
                             ComObject* selectElement = nullptr);
  // Slot 135: appends type, name, id, option count and outerHTML of every select (labelling each
  // with `mark`); the number of selects.
  virtual std::int32_t listSelects(std::vector<std::int32_t>& optionCounts, std::vector<Text>& types,
                                   std::vector<Text>& names, std::vector<Text>& ids, std::vector<Text>& outerHtmls,
                                   bool mark = false);
  // Slots 136-146: one selectCommand each. Values read are 0 or empty when the select or option
  // is missing.
  virtual std::int32_t countSelects(bool mark = false);
  virtual std::int32_t getOptionCount(std::int32_t selectPosition);
  virtual Text getOptionText(std::int32_t selectPosition, std::int32_t optionPosition);
  virtual bool setOptionText(std::int32_t selectPosition, std::int32_t optionPosition, const Text& text);
  virtual Text getOptionValue(std::int32_t selectPosition, std::int32_t optionPosition);
  virtual bool setOptionValue(std::int32_t selectPosition, std::int32_t optionPosition, const Text& value);
  virtual std::int32_t getSelectedIndex(std::int32_t selectPosition);
  virtual bool selectOptionByIndex(std::int32_t selectPosition, std::int32_t optionPosition);
  virtual bool selectOptionByText(std::int32_t selectPosition, const Text& text);
  // Focus the select, or hide or show it; false (nothing done) when no select stands there.
  virtual bool focusSelect(std::int32_t selectPosition);
  virtual bool showHideSelect(std::int32_t selectPosition, bool hide = false);

  // --- tables (1-based table, row and cell positions; a missing one reads empty) ------------
  // Codes of tableCommand.
  enum TableOp : std::int32_t {
    kTableCount = 0,      // the number of the body's tables, nested ones included
    kTableText = 1,       // outerText of the table
    kTableHtml = 2,       // outerHTML of the table
    kTableCellCount = 3,  // the number of the table's cells
    kRowCount = 4,        // the number of the table's rows
    kRowCellCount = 5,    // the number of cells of the row
    kCellText = 6,        // outerText of the cell
    kCellHtml = 7,        // outerHTML of the cell
    kSetCellText = 8,     // writes the cell's innerText; 真 or 假
  };
  // Slot 147: answers one question about the tables as text: counts in decimal, texts and
  // markup as the page gives them; "0" for any other code.
  virtual Text tableCommand(std::int32_t op, std::int32_t table = 0, std::int32_t row = 0, std::int32_t cell = 0,
                            const Text& text = {});
  // Slots 148-156: one tableCommand each; counts read back as numbers.
  virtual std::int32_t countTables();
  virtual Text getTableText(std::int32_t table);
  virtual Text getTableHtml(std::int32_t table);
  virtual std::int32_t getRowCount(std::int32_t table);
  virtual std::int32_t getRowCellCount(std::int32_t table, std::int32_t row);
  virtual Text getCellText(std::int32_t table, std::int32_t row, std::int32_t cell);
  virtual Text setCellText(std::int32_t table, std::int32_t row, std::int32_t cell, const Text& text);
  virtual Text getCellHtml(std::int32_t table, std::int32_t row, std::int32_t cell);
  virtual std::int32_t getTableCellCount(std::int32_t table);

  // --- forms (by name, id, then position; no skip count) -----------------------------------
  // Slot 157: the first form whose name or id is the key or whose running index (advanced by
  // one per form, from the value it holds) equals the key's leading integer; -1 and empty when
  // none.
  virtual ComObject findForm(const Text& key, std::int32_t* runningIndex = nullptr);
  // Slot 158: submits it; whether it was found.
  virtual bool submitForm(const Text& key);
  // Slot 159: its position among the forms, or -1.
  virtual std::int32_t formIndex(const Text& key);
  // Slot 160: its outerHTML.
  virtual Text getFormHtml(const Text& key);
  // Slot 161: the number of forms.
  virtual std::int32_t countForms();
  // Slot 162: reads its method and action into the given outs; whether it was found.
  virtual bool formInfo(const Text& key, Text* method = nullptr, Text* action = nullptr);

  // --- hidden inputs (name, id, title) --------------------------------------------------------
  // Slot 163: the hidden input the lookup rule finds; empty when none.
  virtual ComObject findHiddenInput(const Text& key, std::int32_t skip = 0);
  // Slot 164: the number of hidden inputs; never labels them.
  virtual std::int32_t countHiddenInputs();
  // Slot 165: its value.
  virtual Text getHiddenInputValue(const Text& key, std::int32_t skip = 0);
  // Slot 166: the position among hidden inputs, or -1.
  virtual std::int32_t hiddenInputIndex(const Text& key);
  // Slot 167: the hidden input at a position (looked up as a key); fills the given outs.
  virtual bool hiddenInputInfo(std::int32_t position, Text* value = nullptr, Text* name = nullptr, Text* id = nullptr,
                               Text* type = nullptr, ComObject* element = nullptr);
  // Slot 168: writes the value; whether the write succeeded.
  virtual bool setHiddenInputValue(const Text& key, const Text& value, std::int32_t skip = 0);

  // --- divs (className, innerText, name, id, title) --------------------------------------------
  // Slot 169: the div the lookup rule finds; empty when none.
  virtual ComObject findDiv(const Text& key, std::int32_t skip = 0);
  // Slot 170: the number of divs; with `mark`, each begins with a red label DivN.
  virtual std::int32_t countDivs(bool mark = false);
  // Slot 171: the div at a position (looked up as a key); fills the given outs.
  virtual bool divInfo(std::int32_t position, Text* className = nullptr, Text* title = nullptr, Text* id = nullptr,
                       ComObject* element = nullptr);
  // Slots 172-174: its innerHTML, the write of it (whether it succeeded), its outerHTML.
  virtual Text getDivInnerHtml(const Text& key, std::int32_t skip = 0);
  virtual bool setDivInnerHtml(const Text& key, const Text& markup, std::int32_t skip = 0);
  virtual Text getDivOuterHtml(const Text& key, std::int32_t skip = 0);
  // Slot 175: the position among all divs, or -1.
  virtual std::int32_t divIndex(const Text& key, std::int32_t skip = 0);
  // Slot 176: clicks it; whether it was found.
  virtual bool clickDiv(const Text& key, std::int32_t skip = 0);
  // Slot 177: hides (display none) or shows (display empty) it; whether the write succeeded.
  virtual bool showHideDiv(const Text& key, std::int32_t skip = 0, bool hide = false);

  // --- list items (innerText, className, id, title) --------------------------------------------
  // Slot 178: the number of list items; with `mark`, each begins with a red label ULliN.
  virtual std::int32_t countListItems(bool mark = false);
  // Slot 179: the position among all list items, or -1.
  virtual std::int32_t listItemIndex(const Text& key, std::int32_t skip = 0);
  // Slot 180: clicks it; whether it was found.
  virtual bool clickListItem(const Text& key, std::int32_t skip = 0);
  // Slot 181: its outerHTML.
  virtual Text getListItemHtml(const Text& key, std::int32_t skip = 0);

  // --- spans (className, innerText, name, id, title) -------------------------------------------
  // Slot 182: the span the lookup rule finds; empty when none.
  virtual ComObject findSpan(const Text& key, std::int32_t skip = 0);
  // Slot 183: clicks it; whether it was found.
  virtual bool clickSpan(const Text& key, std::int32_t skip = 0);
  // Slot 184: the number of spans; with `mark`, each begins with a red label SpanN.
  virtual std::int32_t countSpans(bool mark = false);
  // Slot 185: the position among all spans, or -1.
  virtual std::int32_t spanIndex(const Text& key, std::int32_t skip = 0);
  // Slot 186: the span at a position (looked up as a key); fills the given outs.
  virtual bool spanInfo(std::int32_t position, Text* title = nullptr, Text* className = nullptr,
                        Text* innerText = nullptr, Text* id = nullptr, ComObject* element = nullptr);
  // Slots 187-189: its innerHTML and outerHTML; the write of innerHTML (whether it succeeded).
  virtual Text getSpanInnerHtml(const Text& key, std::int32_t skip = 0);
  virtual Text getSpanOuterHtml(const Text& key, std::int32_t skip = 0);
  virtual bool setSpanInnerHtml(const Text& key, const Text& markup, std::int32_t skip = 0);
  // Slot 190: hides or shows it; whether the write succeeded.
  virtual bool showHideSpan(const Text& key, std::int32_t skip = 0, bool hide = false);

  // --- browser windows and browser settings ----------------------------------------------
  // Slot 191: writes "WarnOnHTTPSToHTTPRedirect" under the current user's and the machine's
  // Internet Settings; a refused write is skipped.
  virtual void setRedirectWarning(std::int32_t value = 0);
  // Slot 192: appends every descendant browser document window, depth first; true when the array
  // is not empty afterwards.
  virtual bool collectBrowserServerWindows(win::HWND parent, std::vector<std::int32_t>& handles);

  // --- element accessors (on an element the caller holds) -----------------------------------
  // Reads give empty text and writes false for an empty element.
  // Slot 193: its innerHTML.
  virtual Text getInnerHtml(const ComObject& element);
  // Slot 194: replaces the document's content: open, write the markup, close.
  virtual void replaceDocument(const Text& markup);
  // Slot 195: the document's elements of the tag (a live collection).
  virtual ComObject getElementsByTag(const Text& tag);
  // Slots 196-198: innerText; writes of innerHTML and innerText, whether they succeeded.
  virtual Text getInnerText(const ComObject& element);
  virtual bool setInnerHtml(const ComObject& element, const Text& markup);
  virtual bool setInnerText(const ComObject& element, const Text& text);

  // --- popup tip ---------------------------------------------------------------------------
  // Slot 199: a popup of the page's window filled with the markup, styled with the background
  // colour and a solid border (colours 0x00BBGGRR), shown at the place and size (relative to the
  // screen, or to the anchor element when one is given); empty without a document.
  virtual ComObject showPopupTip(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                                 const Text& html, std::int32_t backgroundColor = 0xFFFFFF,
                                 std::int32_t borderWidth = 1, std::int32_t borderColor = 0xC0C0C0,
                                 const ComObject& anchor = {});
  // Slot 200: hides it; nothing for an empty element.
  virtual void hidePopupTip(const ComObject& popup);
  // Slots 201-204: writes of outerHTML and outerText; reads of them.
  virtual bool setOuterHtml(const ComObject& element, const Text& markup);
  virtual bool setOuterText(const ComObject& element, const Text& text);
  virtual Text getOuterHtml(const ComObject& element);
  virtual Text getOuterText(const ComObject& element);

  // --- page waits --------------------------------------------------------------------------
  // Slots 205-206: look at the page every 300 ms, handling window events meanwhile, until its
  // text (markup) holds the text: true; false once more than `timeoutMs` have passed or when the
  // window is gone (tested before each look). Without a document the driver re-attaches to the
  // window for each look; with one, that document is read and the driver's is left alone.
  virtual bool waitForPageText(win::HWND window, const Text& text, std::int32_t timeoutMs = 5000,
                               const ComObject& document = {});
  virtual bool waitForPageHtml(win::HWND window, const Text& text, std::int32_t timeoutMs = 5000,
                               const ComObject& document = {});

  // A window's class name as GetClassNameA reads it into a 50-byte buffer (at most 49
  // characters); empty for a bad handle.
  static Text windowClassName(win::HWND window);
  // UTF-16 code units to code page 936 through the system's wide-to-multibyte call (with its
  // composite check); a U+0000 ends the result, characters the code page lacks become its
  // default character.
  static Text wideToAnsi(std::u16string_view units);
  // The colour's three low bytes, lowest first, as upper-case hexadecimal: 0x0000FF is FF0000.
  static Text colorToHex(std::int32_t color);
  // Sleeps that long on a waitable timer, handling window events meanwhile; always true.
  static bool pumpingSleep(std::int32_t milliseconds);

 protected:
  ComObject document_;
  win::HWND window_ = 0;
};

}  // namespace trenmoor
