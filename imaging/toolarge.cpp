#include "imaging/toolarge.h"

#include "platform/userservices.h"

namespace {

PictureTooLargeReporter& Reporter() {
    static PictureTooLargeReporter reporter;
    return reporter;
}

} // namespace

void SetPictureTooLargeReporter(PictureTooLargeReporter reporter) {
    Reporter() = std::move(reporter);
}

void ReportPictureTooLarge(const std::string& path, long long width, long long height,
                           const std::string& codecMessage) {
    if (Reporter())
        Reporter()(path, width, height);
    else
        AfxMessageBox(codecMessage);
}
