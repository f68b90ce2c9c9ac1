// Captures a PulseAudio source through the web remote's audio source and
// writes every frame to standard output, each after its length (4 bytes,
// big-endian), until killed. The browser harness serves these frames to the
// page:  kovo_web_audio_probe [SOURCE] [FORM]   (FORM: opus or adpcm)
#include "web/audio/LiveSoundSource.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    kovo::web::LiveSoundSource source(argc > 1 ? argv[1] : "");
    QObject::connect(
        &source, &kovo::web::LiveSoundSource::captureFailed,
        [](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
    const auto form = kovo::web::audioFormNamed(argc > 2 ? argv[2] : "opus");
    if (!form) {
        std::fprintf(stderr, "Unknown audio form: %s\n", argv[2]);
        return 2;
    }
    source.addListener(1, *form, [](const QByteArray& frame) {
        unsigned char length[4];
        qToBigEndian<quint32>(quint32(frame.size()), length);
        std::fwrite(length, 1, sizeof length, stdout);
        std::fwrite(frame.constData(), 1, std::size_t(frame.size()), stdout);
        std::fflush(stdout);
    });
    return app.exec();
}
