// Turns a UTF-8 source file with LF line ends into the GBK text with CR LF
// line ends that the program keeps as a resource.
//   encode-gbk-resource INPUT OUTPUT
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "GbkCodec.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: encode-gbk-resource INPUT OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream source;
    source << in.rdbuf();
    if (!in) {
        std::cerr << "encode-gbk-resource: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string text;
    for (const char c : source.str()) {
        if (c == '\r') continue;
        if (c == '\n') text += '\r';
        text += c;
    }
    const auto gbk = velmora::Utf8ToGbk(text);
    if (!gbk) {
        std::cerr << "encode-gbk-resource: " << argv[1] << " holds a character that GBK cannot write\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << *gbk;
    out.close();
    if (!out) {
        std::cerr << "encode-gbk-resource: cannot write " << argv[2] << "\n";
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
