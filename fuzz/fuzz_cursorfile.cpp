// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the hand pointer's file reader: it never fails,
// and a picture it gives has its hot spot inside it or at its centre.
#include "fuzzsupport.h"
#include "widgets/cursorfile.h"

#include <QCoreApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Picture formats come from plug-ins, which the application finds.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto picture = readCursorFile(QByteArrayView(data, qsizetype(size)));
    if (!picture)
        return 0;
    FUZZ_REQUIRE(!picture->image.isNull());
    FUZZ_REQUIRE(picture->hotSpot == QPoint(-1, -1) || picture->image.rect().contains(picture->hotSpot));
    return 0;
}
