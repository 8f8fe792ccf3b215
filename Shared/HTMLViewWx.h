#pragma once

#include "Shared/HTMLPreview.h"

#include <memory>
#include <string>

// The built-in browser component (number 0): views drawn by the toolkit's own HTML window. Pages
// render synchronously and at the level of HTML 3.2 (scripts and most CSS are ignored). Nothing is
// ever fetched from the network: remote images and pages are refused.
//
// A link click goes to the callback first. When the callback declines it (or there is none), a
// web or mail address goes to the user's browser (tShellExecute) and a local or relative one is
// loaded into the view; other schemes are ignored.

// A new view whose window (named "htmlview") is a child of pParent. Never null.
std::unique_ptr<tcHTMLWindow> tCreateWxHtmlView(wxWindow* pParent, const tcHTMLLinkCallback& fnLink);

// Makes a border the views cannot draw visible: a span whose inline style has a dotted, dashed,
// solid or double border (the frame of the selected segment in a preview) also underlines its
// text, in the border's colour when it names one and the style sets no text colour of its own.
// Everything else, borders of other elements included, is kept byte for byte.
std::string tRewriteUndrawableStyles(const std::string& sPageUTF8);
