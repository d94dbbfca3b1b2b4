#include "results/failurenotice.h"

#include <QMessageBox>

namespace FailureNotice {

void show(QWidget &parent, const Failure &failure, const QString &title) {
    auto *box =
        new QMessageBox(QMessageBox::Warning, title, failure.cause(), QMessageBox::Ok, &parent);
    box->setObjectName(QStringLiteral("saveFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace FailureNotice
