#include "odf/OdtPages.h"

#include "toolkit/Exception.h"

#include <zip.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace odf {

namespace {

constexpr const char* kManifest = "META-INF/manifest.xml";
constexpr std::string_view kManifestEnd = "</manifest:manifest>";

[[noreturn]] void Fail(std::string_view what, const char* why)
{
    throw toolkit::Exception("the OpenDocument package " + std::string(what) + ": " + why);
}

std::string Millimetres(double value)
{
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end) + "mm";
}

std::string StylesXml(const PageLayout& page)
{
    const std::string margin = Millimetres(page.margin);
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2">
 <office:automatic-styles>
  <style:page-layout style:name="Page">
   <style:page-layout-properties fo:page-width=")" +
           Millimetres(page.width) + R"(" fo:page-height=")" + Millimetres(page.height) +
           R"(" style:print-orientation=")" + (page.width > page.height ? "landscape" : "portrait") +
           R"(" fo:margin-top=")" + margin + R"(" fo:margin-bottom=")" + margin + R"(" fo:margin-left=")" +
           margin + R"(" fo:margin-right=")" + margin + R"("/>
  </style:page-layout>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Standard" style:page-layout-name="Page"/>
 </office:master-styles>
</office:document-styles>
)";
}

std::string ReadEntry(zip_t* package, const char* name)
{
    zip_stat_t stat;
    if (zip_stat(package, name, 0, &stat) != 0)
        Fail(std::string("has no ") + name, zip_strerror(package));
    const std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(package, name, 0), zip_fclose);
    std::string text(stat.size, '\0');
    if (!file || zip_fread(file.get(), text.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
        Fail(std::string("cannot read ") + name, zip_strerror(package));
    return text;
}

// Adds or replaces an entry with bytes that must live until the package
// is closed.
void Put(zip_t* package, const char* name, const std::string& bytes)
{
    zip_source_t* source = zip_source_buffer(package, bytes.data(), bytes.size(), 0);
    if (!source || zip_file_add(package, name, source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        Fail(std::string("cannot take ") + name, zip_strerror(package));
    }
}

std::string SourceBytes(zip_source_t* source)
{
    if (zip_source_open(source) != 0)
        Fail("cannot be read back", zip_error_strerror(zip_source_error(source)));
    zip_source_seek(source, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(zip_source_tell(source)), '\0');
    zip_source_seek(source, 0, SEEK_SET);
    const zip_int64_t read = zip_source_read(source, bytes.data(), bytes.size());
    zip_source_close(source);
    if (read != static_cast<zip_int64_t>(bytes.size()))
        Fail("cannot be read back", zip_error_strerror(zip_source_error(source)));
    return bytes;
}

} // namespace

std::string WithDefaultPage(std::string_view odt, const PageLayout& page)
{
    zip_error_t error;
    zip_error_init(&error);
    // The package is edited in memory: libzip writes the new one into the
    // buffer's source when it is closed, and the source is kept for that.
    // The buffer is libzip's own, as it frees what a write replaces even
    // where it was told not to.
    void* bytes = std::malloc(odt.size());
    if (!bytes)
        Fail("cannot be opened", "out of memory");
    std::memcpy(bytes, odt.data(), odt.size());
    const std::unique_ptr<zip_source_t, decltype(&zip_source_free)> source(
        zip_source_buffer_create(bytes, odt.size(), 1, &error), zip_source_free);
    if (!source) {
        std::free(bytes);
        Fail("cannot be opened", zip_error_strerror(&error));
    }
    zip_source_keep(source.get());
    std::unique_ptr<zip_t, decltype(&zip_discard)> package(zip_open_from_source(source.get(), 0, &error),
                                                           zip_discard);
    if (!package) {
        zip_source_free(source.get());
        Fail("cannot be opened", zip_error_strerror(&error));
    }
    std::string manifest = ReadEntry(package.get(), kManifest);
    const std::size_t end = manifest.rfind(kManifestEnd);
    if (end == std::string::npos)
        Fail("has a manifest without its end", kManifest);
    if (manifest.find("manifest:full-path=\"styles.xml\"") == std::string::npos)
        manifest.insert(end, " <manifest:file-entry manifest:media-type=\"text/xml\" "
                             "manifest:full-path=\"styles.xml\"/>\n");
    const std::string styles = StylesXml(page);
    Put(package.get(), "styles.xml", styles);
    Put(package.get(), kManifest, manifest);
    if (zip_close(package.get()) != 0)
        Fail("cannot be written", zip_strerror(package.get()));
    package.release();
    return SourceBytes(source.get());
}

} // namespace odf
