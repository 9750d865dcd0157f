#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "core/MemorySettings.h"
#include "link/PortNames.h"
#include "platform/qt/QtSettingsStore.h"

using quillon::qt::QtSettingsStore;

TEST(QtSettingsStore, IniSectionsAndKeysWithDefaultsForMissingAndMistypedValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath("quillon.ini");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "[General%20Settings]\nCOM%20Port=abc\nBAUD%20Rate=2\nRelease=1, 2\n"
            "[Modem%20Settings]\nDial=atdp\n");
    }
    QtSettingsStore s(path);
    EXPECT_EQ(s.GetInt("General Settings", "COM Port", -1), -1);
    EXPECT_EQ(s.GetInt("General Settings", "BAUD Rate", 0), 2);
    EXPECT_EQ(s.GetInt("General Settings", "Release", 0), 0);
    EXPECT_EQ(s.GetString("Modem Settings", "Dial", "atdt"), "atdp");
    EXPECT_EQ(s.GetString("Modem Settings", "Phone", "Your Number"), "Your Number");

    s.SetInt("General Settings", "COM Port", 3);
    s.SetString("Modem Settings", "Init", "at&f1q0v1x4&k3&c0");
    s.Flush();
    QtSettingsStore again(path);
    EXPECT_EQ(again.GetInt("General Settings", "COM Port", -1), 3);
    EXPECT_EQ(again.GetString("Modem Settings", "Init", ""), "at&f1q0v1x4&k3&c0");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[General%20Settings]"));
    EXPECT_TRUE(text.contains("COM%20Port=3"));
}

TEST(PortNames, ComNamesMapToStoredDevicesAndTheOverride) {
    quillon::MemorySettings s;
    EXPECT_EQ(quillon::DeviceForComName("COM1", s, "", 0), "/dev/ttyUSB0");
    EXPECT_EQ(quillon::DeviceForComName("COM4", s, "", 0), "/dev/ttyUSB3");
    EXPECT_EQ(quillon::DeviceForComName("COM0", s, "", 0), "");
    EXPECT_EQ(quillon::DeviceForComName("LPT1", s, "", 0), "");
    quillon::StoreDeviceFor(2, "/dev/ttyS1", s);
    EXPECT_EQ(quillon::DeviceForComName("COM2", s, "", 0), "/dev/ttyS1");
    EXPECT_EQ(quillon::DeviceForComName("COM2", s, "/tmp/card", 2), "/tmp/card");
    EXPECT_EQ(quillon::DeviceForComName("COM1", s, "/tmp/card", 2), "/dev/ttyUSB0");
}
