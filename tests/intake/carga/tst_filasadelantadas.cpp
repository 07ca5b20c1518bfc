// The rows of a sheet formatted ahead by a second thread: each row exactly as LeerFila writes it,
// under two locales, with the helper and without it, and a scan that stops early (the helper is
// still working then) ends cleanly, over and over.
#include "intake/carga/filasadelantadas.h"
#include "intake/clecxel.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <xlsxwriter.h>

using namespace tarvix;

class TstFilasAdelantadas : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void comoLeerFila();
    void paradaTemprana();
    void hojaCortaOVacia();

private:
    QTemporaryDir m_dir;
    QString m_ruta;
    static constexpr int kColumnas = 6;
    static constexpr int kFilas = 1500;
};

void TstFilasAdelantadas::initTestCase() {
    // Numbers, dates, texts, blank rows and rows of one cell; the last rows far past a block.
    m_ruta = m_dir.filePath(QStringLiteral("filas.xlsx"));
    lxw_workbook* libro = workbook_new(m_ruta.toLocal8Bit().constData());
    lxw_worksheet* hoja = workbook_add_worksheet(libro, nullptr);
    lxw_format* fecha = workbook_add_format(libro);
    format_set_num_format(fecha, "dd/mm/yyyy");
    for (int f = 0; f < kFilas; ++f) {
        const auto fila = static_cast<lxw_row_t>(f);
        if (f % 50 == 7)
            continue; // a blank row
        worksheet_write_string(hoja, fila, 0, ("F" + std::to_string(f)).c_str(), nullptr);
        if (f % 13 == 0)
            continue;
        worksheet_write_number(hoja, fila, 1, f * 1.5 - 100, nullptr);
        worksheet_write_number(hoja, fila, 2, 45000 + f, fecha);
        worksheet_write_boolean(hoja, fila, 3, f % 2, nullptr);
        worksheet_write_number(hoja, fila, 5, 1e-7 * f, nullptr);
    }
    QCOMPARE(workbook_close(libro), LXW_NO_ERROR);
}

void TstFilasAdelantadas::comoLeerFila() {
    clEcxel excel;
    excel.setArchivo(m_ruta);
    excel.Abrir();
    QCOMPARE(excel.UltimaFila(), kFilas);
    for (const char* nombre : {"es_AR", "en_US"}) {
        prueba::LocaleFijo l(QString::fromLatin1(nombre));
        for (const bool ayudante : {true, false}) {
            FilasAdelantadas filas(excel, kColumnas, ayudante);
            QString texto, esperado;
            quint32 fines[kColumnas], finesEsperados[kColumnas];
            for (int f = 2; f <= kFilas + 20; ++f) {
                filas.tomar(f, texto, fines);
                esperado.truncate(0);
                excel.LeerFila(f, kColumnas, esperado, finesEsperados);
                QCOMPARE(texto, esperado);
                QVERIFY(std::equal(fines, fines + kColumnas, finesEsperados));
                QCOMPARE(texto.capacity(), texto.size()); // no spare room kept
            }
        }
    }
}

void TstFilasAdelantadas::paradaTemprana() {
    clEcxel excel;
    excel.setArchivo(m_ruta);
    excel.Abrir();
    QString texto;
    quint32 fines[kColumnas];
    for (int vez = 0; vez < 200; ++vez) {
        FilasAdelantadas filas(excel, kColumnas, true);
        const int hasta = 2 + vez * 7 % (kFilas - 2);
        for (int f = 2; f <= hasta; ++f)
            filas.tomar(f, texto, fines);
        QString esperado;
        excel.LeerFila(hasta, kColumnas, esperado, fines);
        QCOMPARE(texto, esperado);
    }
}

void TstFilasAdelantadas::hojaCortaOVacia() {
    // No sheet open, or a sheet of one row: every row is empty.
    clEcxel excel;
    QString texto = QStringLiteral("x");
    quint32 fines[kColumnas] = {9, 9, 9, 9, 9, 9};
    FilasAdelantadas ninguna(excel, kColumnas, true);
    ninguna.tomar(2, texto, fines);
    QVERIFY(texto.isEmpty());
    QVERIFY(std::all_of(fines, fines + kColumnas, [](quint32 v) { return v == 0; }));
}

QTEST_GUILESS_MAIN(TstFilasAdelantadas)
#include "tst_filasadelantadas.moc"
