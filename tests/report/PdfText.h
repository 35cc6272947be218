// The text of a PDF as poppler's pdftotext reads it, the way a reader of the file finds it.
#pragma once

#include <cstdio>
#include <string>

inline std::string pdfText(const std::string& path)
{
    std::string text;
    if (FILE* pipe = ::popen(("pdftotext -layout '" + path + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}
