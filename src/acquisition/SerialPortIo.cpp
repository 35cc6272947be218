#include "SerialPortIo.h"

namespace dgaws {

SerialPortIo::~SerialPortIo() = default;

}  // namespace dgaws
