#pragma once
// Reading back the PDF files quillon-cli print writes: page count and page
// sizes from the file itself, the text through a PDF-to-text tool when one
// is installed (pdftotext, else Ghostscript), since the pages' text is kept
// compressed in glyph codes.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace quillon::testing {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Page objects: "/Type /Page" not followed by "s" (that is the page tree).
inline int PdfPageCount(const std::string& pdf) {
    static const std::regex page(R"(/Type\s*/Page(?![s\w]))");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

struct PdfBox {
    double width = 0.0;  // points
    double height = 0.0;
};

// The page sizes, in the order the page objects appear.
inline std::vector<PdfBox> PdfMediaBoxes(const std::string& pdf) {
    static const std::regex box(
        R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
    std::vector<PdfBox> boxes;
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator();
         ++it) {
        const auto& m = *it;
        boxes.push_back({std::stod(m[3]) - std::stod(m[1]), std::stod(m[4]) - std::stod(m[2])});
    }
    return boxes;
}

inline bool OnPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The PDF's text with every run of blanks made one space, or nothing when
// no tool to extract it is installed.
inline std::optional<std::string> PdfText(const std::string& path) {
    const std::string out = path + ".txt";
    std::string command;
    if (OnPath("pdftotext")) {
        command = "pdftotext -layout '" + path + "' '" + out + "'";
    } else if (OnPath("gs")) {
        command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile='" + out + "' '" +
                  path + "'";
    } else {
        return std::nullopt;
    }
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        return std::string("<text extraction failed>");
    }
    const std::string raw = ReadBytes(out);
    unlink(out.c_str());
    std::string text;
    bool blank = false;
    for (char c : raw) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
            blank = true;
            continue;
        }
        if (blank && !text.empty() && text.back() != '\n' && c != '\n') {
            text.push_back(' ');
        }
        blank = false;
        text.push_back(c);
    }
    return text;
}

}  // namespace quillon::testing
