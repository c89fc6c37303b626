#pragma once

#include <string>
#include <string_view>

namespace odf {

// A page in millimetres, the same margin all round.
struct PageLayout {
    double width = 0;
    double height = 0;
    double margin = 0;
};

// The OpenDocument text package `odt` with its default page laid out as
// given: a styles.xml whose master page "Standard", the one a word
// processor lays a text on that names no page of its own, has the layout,
// and is listed in the manifest. A package that has its own styles.xml
// has it replaced. Raises toolkit::Exception saying what in the package
// could not be read or written.
std::string WithDefaultPage(std::string_view odt, const PageLayout& page);

} // namespace odf
