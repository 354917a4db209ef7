#pragma once
// Fits a page's template controls into a page area shorter than the template: the page's dialog
// units are mapped with a vertical scale that makes the template's height the page's height, so
// that every control stays reachable. A page area tall enough keeps the template's own layout.

namespace platform {
class Dialog;
}

namespace stavo {

void FitPageToHeight(platform::Dialog& page);

} // namespace stavo
