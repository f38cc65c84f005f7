#include "crashreport/process_inspector.h"
#include "crashreport/report_sections.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace vokrin::crashreport;

namespace {

[[gnu::noinline]] std::uint64_t addressInsideNamedFunction()
{
    return reinterpret_cast<std::uint64_t>(__builtin_return_address(0));
}

[[gnu::noinline]] std::uint64_t callerOfNamedFunction()
{
    const std::uint64_t address = addressInsideNamedFunction();
    asm volatile("" ::: "memory"); // keep the call a call
    return address;
}

void writeText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(ReportSections, ThreadsAreNamedMarkedAndListTheirFrames)
{
    ThreadStack main;
    main.id = 100;
    main.name = QStringLiteral("main thread");
    main.frames = {{0x5555'5555'4000, QStringLiteral("vokrin"),
                    QStringLiteral("TMainForm::ButtonPlayClick()"), 0x1c,
                    QStringLiteral("main_form.cpp"), 42},
                   {0x7fff'0000'1000, QStringLiteral("libc.so.6"), QString(), 0, QString(), 0}};
    ThreadStack worker;
    worker.id = 101;
    worker.name = QStringLiteral("thread 101 \"audio\"");
    worker.suspended = true;
    worker.priority = -5;
    worker.accessible = false;
    const QString expected =
        QStringLiteral("\r\nmain thread:\r\n"
                       "  0000555555554000  vokrin     TMainForm::ButtonPlayClick() + 0x1c  "
                       "(main_form.cpp line 42)\r\n"
                       "  00007fff00001000  libc.so.6  ?\r\n"
                       "\r\nthread 101 \"audio\" <suspended> <priority:-5>:\r\n"
                       ">> stack not accessible\r\n");
    EXPECT_EQ(formatThreads({main, worker}), expected);
}

TEST(ReportSections, ModulesHaveBaseNameAndVersionColumnsPaddedToTheLongest)
{
    const std::vector<ModuleInfo> modules = {
        {0x00400000, QStringLiteral("vokrin"), QStringLiteral("0.1.0"),
         QStringLiteral("/opt/vokrin/vokrin")},
        {0x7f0012340000, QStringLiteral("libQt6Core.so.6.4.2"), QStringLiteral("6.4.2"),
         QStringLiteral("/usr/lib/libQt6Core.so.6.4.2")}};
    EXPECT_EQ(formatModules(modules),
              QStringLiteral(
                  "\r\nmodules:\r\n"
                  "00400000 vokrin              0.1.0 /opt/vokrin/vokrin\r\n"
                  "00007f0012340000 libQt6Core.so.6.4.2 6.4.2 /usr/lib/libQt6Core.so.6.4.2\r\n"));
    EXPECT_EQ(formatHardware({}),
              QStringLiteral("\r\nhardware:\r\n(the system lists no devices)\r\n"));
    EXPECT_EQ(formatDisassembly({QStringLiteral("> x")}),
              QStringLiteral("\r\ndisassembling:\r\n> x\r\n"));
}

TEST(ReportSections, VersionsComeFromSharedLibraryNames)
{
    const std::pair<const char *, const char *> cases[] = {{"libQt6Core.so.6.4.2", "6.4.2"},
                                                           {"libc.so.6", "6"},
                                                           {"libelf-0.188.so", "0.188"},
                                                           {"vokrin", ""},
                                                           {"libfoo.so", ""},
                                                           {"linux-vdso.so.1", "1"}};
    for (const auto &[name, version] : cases)
        EXPECT_EQ(versionFromFileName(QLatin1String(name)), QLatin1String(version)) << name;
}

TEST(ReportSections, HardwareListsPciUsbAndSoundDevicesWithTheirDrivers)
{
    const QString sys = QString::fromStdString(vokrin::testing::makeTempDir("sys").string());
    const QString pci = sys + QStringLiteral("/bus/pci/devices/0000:00:1f.3");
    writeText(pci + QStringLiteral("/class"), "0x040300\n");
    writeText(pci + QStringLiteral("/vendor"), "0x8086\n");
    writeText(pci + QStringLiteral("/device"), "0xa170\n");
    QDir().mkpath(sys + QStringLiteral("/bus/pci/drivers/snd_hda_intel"));
    ASSERT_TRUE(QFile::link(sys + QStringLiteral("/bus/pci/drivers/snd_hda_intel"),
                            pci + QStringLiteral("/driver")));
    const QString usb = sys + QStringLiteral("/bus/usb/devices/1-1");
    writeText(usb + QStringLiteral("/idVendor"), "046d\n");
    writeText(usb + QStringLiteral("/idProduct"), "c52b\n");
    writeText(usb + QStringLiteral("/product"), "USB Receiver\n");
    // An interface of that device is not a device of its own.
    writeText(sys + QStringLiteral("/bus/usb/devices/1-1:1.0/bInterfaceClass"), "03\n");
    writeText(sys + QStringLiteral("/class/sound/card0/id"), "PCH\n");
    ASSERT_TRUE(QFile::link(pci, sys + QStringLiteral("/class/sound/card0/device")));

    EXPECT_EQ(
        listHardware(sys),
        QStringList({QStringLiteral(
                         "pci 0000:00:1f.3  multimedia (040300)  8086:a170  driver snd_hda_intel"),
                     QStringLiteral("usb 1-1  046d:c52b  USB Receiver  (no driver)"),
                     QStringLiteral("sound card0  PCH  driver snd_hda_intel")}));
    EXPECT_TRUE(listHardware(sys + QStringLiteral("/nothing")).isEmpty());
}

#if defined(__x86_64__)
TEST(Disassembly, DecodingLinesUpWithTheCrashAddressAndMarksTheFailingInstruction)
{
    // push rbp; mov rbp, rsp; mov dword ptr [0], 0x2a; pop rbp; ret
    const QByteArray code = QByteArray::fromHex("554889e5c70425000000002a0000005dc3");
    const QStringList lines = disassemble(code, 0x1000, 0x1004);
    ASSERT_EQ(lines.size(), 5) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("0000000000001000")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("push")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("> 0000000000001004")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("mov dword ptr [0], 0x2a")));
    for (int i : {0, 1, 3, 4})
        EXPECT_FALSE(lines[i].startsWith(QLatin1Char('>'))) << i;

    // A return address marks the call before it.
    const QByteArray call = QByteArray::fromHex("e800000000"
                                                "90");
    const QStringList afterCall = disassemble(call, 0x2000, 0x2005, true);
    ASSERT_EQ(afterCall.size(), 2);
    EXPECT_TRUE(afterCall[0].startsWith(QStringLiteral("> ")));
    EXPECT_TRUE(afterCall[0].contains(QStringLiteral("call")));

    EXPECT_EQ(disassemble({}, 0x3000, 0x3000),
              QStringList({QStringLiteral("(the code at 0000000000003000 cannot be read)")}));
}
#endif

TEST(ProcessInspector, NamesOurOwnFunctionsModulesAndThreads)
{
    ProcessInspector self(::getpid());
    ASSERT_TRUE(self.valid());
    const std::uint64_t inside = callerOfNamedFunction();
    const StackFrame frame = self.describe(inside, true);
    EXPECT_TRUE(frame.function.contains(QStringLiteral("callerOfNamedFunction")))
        << frame.function.toStdString();
    EXPECT_TRUE(frame.file.endsWith(QStringLiteral("report_sections_test.cpp")))
        << frame.file.toStdString();
    EXPECT_GT(frame.line, 0);
    EXPECT_EQ(frame.module, QStringLiteral("crashreport_unit_tests"));

    const std::vector<ModuleInfo> modules = self.modules();
    bool sawProgram = false;
    bool sawLibc = false;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        sawProgram |= modules[i].fileName == QStringLiteral("crashreport_unit_tests");
        sawLibc |= modules[i].fileName.startsWith(QStringLiteral("libc.so"));
        if (i > 0) {
            EXPECT_LT(modules[i - 1].base, modules[i].base);
        }
    }
    EXPECT_TRUE(sawProgram);
    EXPECT_TRUE(sawLibc);

    const std::vector<ThreadStack> threads = self.threads(false);
    ASSERT_FALSE(threads.empty());
    EXPECT_EQ(threads[0].name, QStringLiteral("main thread"));
    EXPECT_EQ(threads[0].id, ::getpid());
    EXPECT_FALSE(threads[0].accessible) << "without tracing no stack can be read";
}

TEST(ProcessInspector, SectionsOfAThrowShowTheThrowStackAndTheCallThatThrew)
{
    const std::uint64_t inside = callerOfNamedFunction();
    const int thread = static_cast<int>(::syscall(SYS_gettid));
    const QString sections =
        composeSections(::getpid(), thread, inside, {inside}, false, QStringLiteral("9.9"));
    // A lowered priority (a test run under nice) is shown in the header line.
    const qsizetype main = sections.indexOf(QStringLiteral("\r\nmain thread"));
    const qsizetype modules = sections.indexOf(QStringLiteral("\r\n\r\nmodules:\r\n"));
    const qsizetype hardware = sections.indexOf(QStringLiteral("\r\n\r\nhardware:\r\n"));
    const qsizetype code = sections.indexOf(QStringLiteral("\r\n\r\ndisassembling:\r\n"));
    ASSERT_EQ(main, 0);
    EXPECT_LT(main, modules);
    EXPECT_LT(modules, hardware);
    EXPECT_LT(hardware, code);
    EXPECT_TRUE(
        sections.mid(main, modules - main).contains(QStringLiteral("callerOfNamedFunction")));
    EXPECT_TRUE(sections.contains(QStringLiteral(" crashreport_unit_tests ")));
    EXPECT_TRUE(sections.contains(QStringLiteral(" 9.9 ")))
        << "the program's version in its module line";
#if defined(__x86_64__)
    const QString disassembly = sections.mid(code);
    const qsizetype marked = disassembly.indexOf(QStringLiteral("\r\n> "));
    ASSERT_GE(marked, 0);
    EXPECT_TRUE(disassembly.mid(marked, 80).contains(QStringLiteral("call")));
#endif
}
