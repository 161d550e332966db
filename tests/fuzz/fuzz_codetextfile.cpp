// libFuzzer harness for the code-text reader: any bytes must parse without
// crashing, and lookups on the result must be safe.
#include "CodeTextFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CodeTextFile file{QString()};
    file.parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)));
    for (const QString& name : file.sectionNames()) {
        const CodeTextFile::Section section = file.section(name);
        for (auto it = section.texts.constBegin(); it != section.texts.constEnd(); ++it)
            (void)file.textOf(name, it.key());
        (void)file.textOf(name, -1);
    }
    return 0;
}
