#include "fake_machine.h"

namespace fixtures {

namespace {

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string majorOf(const std::string& number) {
    return number.substr(0, number.find(':'));
}

std::string minorOf(const std::string& number) {
    return number.substr(number.find(':') + 1);
}

} // namespace

void tFakeMachine::paragraph(const std::string& path, const std::vector<std::string>& lines) {
    text += "P: " + path + "\n";
    for (const std::string& line : lines)
        text += line + "\n";
    text += "\n";
}

std::string tFakeMachine::usbStorage(int port, const std::string& driver, const std::string& vendor,
                                     const std::string& model) {
    std::string p = std::to_string(port), h = std::to_string(5 + port);
    std::string usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-" + p;
    std::string interface = usb + "/1-" + p + ":1.0";
    std::string host = interface + "/host" + h;
    std::string target = host + "/target" + h + ":0:0";
    std::string scsi = target + "/" + h + ":0:0:0";
    paragraph(usb, {"E: SUBSYSTEM=usb", "E: DEVTYPE=usb_device", "E: DRIVER=usb",
                    "A: manufacturer=" + vendor, "A: product=" + model,
                    "L: driver=../../../../bus/usb/drivers/usb"});
    paragraph(interface, {"E: SUBSYSTEM=usb", "E: DEVTYPE=usb_interface", "E: DRIVER=" + driver,
                          "L: driver=../../../../../bus/usb/drivers/" + driver});
    paragraph(host, {"E: SUBSYSTEM=scsi", "E: DEVTYPE=scsi_host"});
    paragraph(target, {"E: SUBSYSTEM=scsi", "E: DEVTYPE=scsi_target"});
    // SCSI inquiry data comes padded with blanks, as sysfs shows it.
    paragraph(scsi, {"E: SUBSYSTEM=scsi", "E: DEVTYPE=scsi_device", "E: DRIVER=sd",
                     "A: vendor=" + padded(vendor, 8), "A: model=" + padded(model, 16),
                     "L: driver=../../../../../../../../bus/scsi/drivers/sd"});
    return scsi + "/block";
}

std::string tFakeMachine::sataStorage(int port, const std::string& model) {
    std::string p = std::to_string(port);
    std::string pci = "/devices/pci0000:00/0000:00:17.0";
    std::string host = pci + "/ata" + std::to_string(port + 1) + "/host" + p;
    std::string target = host + "/target" + p + ":0:0";
    std::string scsi = target + "/" + p + ":0:0:0";
    if (port == 0)
        paragraph(pci, {"E: SUBSYSTEM=pci", "E: DRIVER=ahci", "A: vendor=0x8086",
                        "L: driver=../../../bus/pci/drivers/ahci"});
    paragraph(host, {"E: SUBSYSTEM=scsi", "E: DEVTYPE=scsi_host"});
    paragraph(target, {"E: SUBSYSTEM=scsi", "E: DEVTYPE=scsi_target"});
    paragraph(scsi, {"E: SUBSYSTEM=scsi", "E: DEVTYPE=scsi_device", "E: DRIVER=sd",
                     "A: vendor=ATA     ", "A: model=" + padded(model, 16),
                     "L: driver=../../../../../../../bus/scsi/drivers/sd"});
    return scsi + "/block";
}

std::string tFakeMachine::nvmeController(int index, const std::string& model) {
    std::string pci = "/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0";
    std::string controller = pci + "/nvme/nvme" + std::to_string(index);
    paragraph(pci, {"E: SUBSYSTEM=pci", "E: DRIVER=nvme", "A: vendor=0x144d",
                    "L: driver=../../../../bus/pci/drivers/nvme"});
    paragraph(controller, {"E: SUBSYSTEM=nvme", "A: model=" + padded(model, 40)});
    return controller;
}

std::string tFakeMachine::disk(const std::string& directory, const std::string& name,
                               const std::string& number, uint64_t sectors, uint64_t diskSeq,
                               const std::vector<std::string>& extra) {
    std::string path = directory + "/" + name;
    std::vector<std::string> lines = {"N: " + name + "=00",
                                      "E: SUBSYSTEM=block",
                                      "E: DEVTYPE=disk",
                                      "E: DEVNAME=/dev/" + name,
                                      "E: MAJOR=" + majorOf(number),
                                      "E: MINOR=" + minorOf(number),
                                      "A: dev=" + number,
                                      "A: size=" + std::to_string(sectors),
                                      "A: diskseq=" + std::to_string(diskSeq)};
    lines.insert(lines.end(), extra.begin(), extra.end());
    paragraph(path, lines);
    return path;
}

std::string tFakeMachine::partition(const std::string& diskPath, const std::string& name,
                                    const std::string& number, unsigned index, uint64_t startSector,
                                    uint64_t sectors, const std::vector<std::string>& extra) {
    std::string path = diskPath + "/" + name;
    std::vector<std::string> lines = {"N: " + name + "=00",
                                      "E: SUBSYSTEM=block",
                                      "E: DEVTYPE=partition",
                                      "E: DEVNAME=/dev/" + name,
                                      "E: MAJOR=" + majorOf(number),
                                      "E: MINOR=" + minorOf(number),
                                      "E: PARTN=" + std::to_string(index),
                                      "A: dev=" + number,
                                      "A: partition=" + std::to_string(index),
                                      "A: start=" + std::to_string(startSector),
                                      "A: size=" + std::to_string(sectors)};
    lines.insert(lines.end(), extra.begin(), extra.end());
    paragraph(path, lines);
    return path;
}

std::string tFakeMachine::slaveLink(const std::string& name, const std::string& path) {
    return "L: slaves/" + name + "=../../../.." + path.substr(std::string("/devices").size());
}

void tFakeMachine::mount(const std::string& number, const std::string& source,
                         const std::string& target, const std::string& type) {
    int id = nextMountId++;
    mounts += std::to_string(id) + " " + std::to_string(id == 100 ? 1 : 100) + " " + number +
              " / " + target + " rw,relatime shared:" + std::to_string(id) + " - " + type + " " +
              source + " rw\n";
}

tFakeMachine technicianLaptop() {
    using namespace laptop;
    tFakeMachine machine;
    std::string nvme = machine.nvmeController(0, "Samsung SSD 970 EVO Plus 500GB");
    std::string system = machine.disk(nvme, "nvme0n1", "259:0", 976773168, systemSeq);
    machine.partition(system, "nvme0n1p1", "259:1", 1, 2048, mib(512),
                      {"E: ID_FS_TYPE=vfat", "E: ID_FS_LABEL=EFI"});
    machine.partition(system, "nvme0n1p2", "259:2", 2, 2048 + mib(512), 976773168 - 2048 - mib(512),
                      {"E: ID_FS_TYPE=ext4"});
    machine.mount("259:2", "/dev/nvme0n1p2", "/", "ext4");
    machine.mount("259:1", "/dev/nvme0n1p1", "/boot/efi", "vfat");

    std::string sata = machine.sataStorage(0, "Samsung SSD 860 EVO 1TB");
    std::string data = machine.disk(sata, "sda", "8:0", gib(931), dataSeq);
    machine.partition(data, "sda1", "8:1", 1, 2048, gib(800),
                      {"E: ID_FS_TYPE=ext4", "E: ID_FS_LABEL_ENC=data\\x20disk"});
    // Nothing known on it and not mounted: a volume without a friendly name.
    machine.partition(data, "sda2", "8:2", 2, 2048 + gib(800), gib(100));

    std::string stick = machine.usbStorage(1, "usb-storage", "SanDisk", "Cruzer Blade");
    machine.disk(stick, "sdb", "8:16", stickSectors, stickSeq, {"A: removable=1"});
    machine.partition(stickDisk, "sdb1", "8:17", 1, stickPartitionStart, stickPartitionSectors,
                      {"E: ID_FS_TYPE=vfat", "E: ID_FS_LABEL=STICK", "E: ID_FS_LABEL_ENC=STICK"});
    machine.mount("8:17", "/dev/sdb1", "/media/tech/STICK", "vfat");

    // A card reader without a card: present, but without a medium.
    std::string reader = machine.usbStorage(2, "usb-storage", "Generic", "SD Card Reader");
    machine.disk(reader, "sdc", "8:32", 0, 43, {"A: removable=1"});

    // A DVD writer with a disc in it: an optical drive, not a disk.
    std::string writer = machine.usbStorage(6, "usb-storage", "ASUS", "SDRW-08D2S-U");
    machine.disk(writer, "sr0", "11:0", 8962048, 44, {"E: ID_FS_TYPE=iso9660"});

    machine.disk(tFakeMachine::virtualBlock(), "loop0", "7:0", 0, 3);
    machine.disk(tFakeMachine::virtualBlock(), "zram0", "252:0", gib(8), 4, {"E: ID_FS_TYPE=swap"});
    return machine;
}

tFakeMachine laptopWithStackedVolumes() {
    tFakeMachine machine = technicianLaptop();
    std::string first = machine.disk(machine.usbStorage(3, "usb-storage", "Kingston", "DT"), "sdd",
                                     "8:48", gib(8), 60);
    std::string pv1 =
        machine.partition(first, "sdd1", "8:49", 1, 2048, gib(4), {"E: ID_FS_TYPE=LVM2_member"});
    std::string second =
        machine.disk(machine.usbStorage(4, "uas", "Samsung", "FIT"), "sde", "8:64", gib(16), 61);
    std::string pv2 =
        machine.partition(second, "sde1", "8:65", 1, 4096, gib(2), {"E: ID_FS_TYPE=LVM2_member"});
    std::string third = machine.disk(machine.usbStorage(5, "usb-storage", "Intenso", "Rainbow"),
                                     "sdf", "8:80", gib(32), 62);
    std::string luks =
        machine.partition(third, "sdf1", "8:81", 1, 2048, gib(31), {"E: ID_FS_TYPE=crypto_LUKS"});
    machine.disk(tFakeMachine::virtualBlock(), "dm-0", "254:0", gib(6), 70,
                 {"E: ID_FS_TYPE=ext4", "E: ID_FS_LABEL=pool", "A: dm/name=vg-pool",
                  tFakeMachine::slaveLink("sdd1", pv1), tFakeMachine::slaveLink("sde1", pv2)});
    machine.disk(tFakeMachine::virtualBlock(), "dm-1", "254:1", gib(31) - 32768, 71,
                 {"E: ID_FS_TYPE=vfat", "E: ID_FS_LABEL=SECRET", "A: dm/name=luks-stick",
                  tFakeMachine::slaveLink("sdf1", luks)});
    return machine;
}

} // namespace fixtures
