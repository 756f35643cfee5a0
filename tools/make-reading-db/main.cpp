// make-reading-db: builds the reading database "Orsk.dll" from the weights
// and commentary texts kept as UTF-8 text in data/.
//
//   make-reading-db --weights data/bone-weights.tsv --texts data/texts --output bin/Orsk.dll
//
// Missing commentary files or keys do not stop the build: the cells stay
// empty and a short summary on stderr says what is missing. Malformed
// sources do: the message names the file and line, or the file, key and
// character.
#include "ReadingGenerator.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace velmora::readingdb;
    const std::vector<std::string> args(argv + 1, argv + argc);
    GeneratorOptions options;
    bool understood = args.size() % 2 == 0;
    for (std::size_t i = 0; understood && i < args.size(); i += 2) {
        if (args[i] == "--weights") options.weightsFile = args[i + 1];
        else if (args[i] == "--texts") options.textsFolder = args[i + 1];
        else if (args[i] == "--output") options.outputFile = args[i + 1];
        else understood = false;
    }
    if (!understood || options.weightsFile.empty() || options.textsFolder.empty() || options.outputFile.empty()) {
        std::cerr << "usage: make-reading-db --weights FILE --texts FOLDER --output FILE\n";
        return 2;
    }
    try {
        const GeneratorReport report = GenerateReadingDatabase(options);
        std::cerr << DescribeReport(report);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "make-reading-db: error: " << error.what() << "\n";
        return 1;
    }
}
