#include "HistoryReader.h"

namespace kovo {

HistoryReader::HistoryReader(std::string path) : path_(std::move(path)), context_(new QObject) {
    thread_.setObjectName(QStringLiteral("History reader"));
    context_->moveToThread(&thread_);
    thread_.start();
}

HistoryReader::~HistoryReader() {
    thread_.quit();
    thread_.wait();
    delete context_; // with the jobs that never ran
    query_.reset();
    store_.reset();
}

void HistoryReader::post(std::function<void(const Access&)> job) {
    QMetaObject::invokeMethod(
        context_, [this, job = std::move(job)] { job(access()); }, Qt::QueuedConnection);
}

const HistoryReader::Access& HistoryReader::access() {
    if (!opened_) {
        opened_ = true;
        history::StoreError error;
        store_ = history::HistoryDatabase::openForReading(path_, error);
        if (store_) {
            query_ = std::make_unique<history::HistoryQuery>(*store_);
            access_.query = query_.get();
        } else {
            access_.error = error.message;
        }
    }
    return access_;
}

} // namespace kovo
