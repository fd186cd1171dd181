// The widget tests need an application object; they run on the offscreen platform and with
// settings kept in memory, so nothing of the user's is read or written.
#include <QApplication>
#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "ui/CancelWatch.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CMemorySettings settings;
    OverrideProgramSettings(&settings);
    QApplication app(argc, argv);
    cancelwatch::Install();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OverrideProgramSettings(nullptr);
    return result;
}
