#include "platform/qt/QtSerialDevice.h"

#include <cerrno>

#include "platform/qt/DeviceLock.h"

namespace quillon::qt {

QtSerialDevice::QtSerialDevice(PortResolver resolver)
    : resolver_(std::move(resolver)), lockFolders_(DefaultLockFolders()) {}

QtSerialDevice::~QtSerialDevice() {
    Close();
}

QString QtSerialDevice::DeviceName() const {
    return port_ ? port_->portName() : QString();
}

bool QtSerialDevice::Open(const std::string& comName) {
    Close();
    const std::string device = resolver_ ? resolver_(comName) : comName;
    if (device.empty()) {
        lastError_ = ENOENT;
        return false;
    }
    if (LiveLockOwner(device, lockFolders_) != 0) {
        lastError_ = EBUSY;
        return false;
    }
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(device));
    if (!port_->open(QIODevice::ReadWrite)) {
        lastError_ =
            static_cast<uint32_t>(port_->error() == QSerialPort::NoError ? EIO : port_->error());
        port_.reset();
        return false;
    }
    // The port's own exclusive mode does not stop a second opener running
    // as root; a flock() on the device stops every program that asks.
    if (!LockDeviceExclusively(static_cast<int>(port_->handle()))) {
        lastError_ = EBUSY;
        port_->close();
        port_.reset();
        return false;
    }
    const bool configured =
        port_->setBaudRate(QSerialPort::Baud9600) && port_->setDataBits(QSerialPort::Data8) &&
        port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop) &&
        port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        lastError_ = EIO;
        port_->close();
        port_.reset();
        return false;
    }
    connect(port_.get(), &QSerialPort::errorOccurred, this, &QtSerialDevice::OnError);
    lost_ = false;
    lastError_ = 0;
    return true;
}

bool QtSerialDevice::IsOpen() const {
    return port_ && port_->isOpen() && !lost_;
}

void QtSerialDevice::MarkLost(uint32_t code) {
    if (lost_) {
        return;
    }
    lost_ = true;
    lastError_ = code;
    // Closing stops the socket notifier that would otherwise report the same
    // read error again and again at full speed.
    if (port_) {
        port_->disconnect(this);
        port_->close();
    }
}

void QtSerialDevice::OnError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::NoError) {
        ++errorReports_;
    }
    switch (error) {
        case QSerialPort::NoError:
        case QSerialPort::TimeoutError:
            return;
        case QSerialPort::ReadError:
        case QSerialPort::ResourceError:
        case QSerialPort::PermissionError:
        case QSerialPort::DeviceNotFoundError:
            MarkLost(EIO);
            return;
        case QSerialPort::WriteError:
            lastError_ = EIO;
            return;
        default:
            lastError_ = static_cast<uint32_t>(error);
            return;
    }
}

int QtSerialDevice::Read(uint8_t* dest, int max) {
    if (!port_ || lost_ || !port_->isOpen()) {
        lastError_ = lost_ ? lastError_ : EBADF;
        return -1;
    }
    if (max <= 0) {
        return 0;
    }
    // Fetch what the driver holds now, so a read needs no event loop pass.
    if (port_->bytesAvailable() == 0) {
        port_->waitForReadyRead(0);
        if (lost_) {
            return -1;
        }
    }
    const qint64 n = port_->read(reinterpret_cast<char*>(dest), max);
    if (n < 0) {
        MarkLost(EIO);
        return -1;
    }
    return static_cast<int>(n);
}

int QtSerialDevice::Write(const uint8_t* src, int count) {
    if (!port_ || lost_ || !port_->isOpen()) {
        lastError_ = lost_ ? lastError_ : EBADF;
        return -1;
    }
    if (count <= 0) {
        return 0;
    }
    const qint64 n = port_->write(reinterpret_cast<const char*>(src), count);
    if (n < 0) {
        lastError_ = EIO;
        return -1;
    }
    // Hand the bytes to the driver now; the port would otherwise wait for
    // the event loop, and the text procedures sleep right after writing.
    port_->flush();
    return static_cast<int>(n);
}

void QtSerialDevice::PurgeReceive() {
    if (port_ && port_->isOpen() && !lost_) {
        port_->clear(QSerialPort::Input);
        port_->readAll();
    }
}

void QtSerialDevice::Close() {
    if (port_) {
        port_->disconnect(this);
        if (port_->isOpen()) {
            port_->close();
        }
        port_.reset();
    }
    lost_ = false;
}

}  // namespace quillon::qt
