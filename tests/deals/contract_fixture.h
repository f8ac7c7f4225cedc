#pragma once
// The contract editor over a data module on a fresh, upgraded agency database (one per
// engine), with modal windows answered from the event loop.

#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "deals/TFrmSelGhovl.h"
#include "deals/TMainForm.h"
#include "platform/db/DataSet.h"
#include "platform/richtext/Rtf.h"
#include "ui_TFrmSelGhovl.h"
#include "ui_TMainForm.h"

#include <QApplication>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <functional>

class ContractTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        Dm = new TDm;
        Dm->Connect(testDb().open(), std::move(users));
        MainForm = new TMainForm;
        MainForm->CommandLineFile.clear();
        prompter.calls.clear();
    }

    void TearDown() override
    {
        delete MainForm;
        MainForm = nullptr;
        delete Dm;
        Dm = nullptr;
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    TMainForm& ed() { return *MainForm; }
    QTextDocument* doc() { return MainForm->Editor()->document(); }
    QString text() { return doc()->toPlainText(); }

    QVariant scalar(const QString& sql) { return Dm->Conn->scalar(sql); }
    int count(const QString& sql) { return scalar(sql).toInt(); }

    // A template straight into the table; returns its ID.
    int addTemplate(const QString& name, const QString& plain)
    {
        QTextDocument d;
        d.setPlainText(plain);
        Dm->Conn->exec(QStringLiteral("insert into T_Ghovl (esm, ghtxt) values ($1, $2)"),
                       {name, QString::fromLatin1(richtext::writeRtf(&d))});
        return scalar(QStringLiteral("select max(ID) from T_Ghovl")).toInt();
    }
    // The plain text of stored rich text.
    static QString plainOf(const QString& stored)
    {
        QTextDocument d;
        richtext::loadText(&d, stored.toUtf8());
        return d.toPlainText();
    }
    QString templateText(int id)
    {
        return plainOf(scalar(QStringLiteral("select ghtxt from T_Ghovl where ID = %1").arg(id)).toString());
    }

    // A deal straight into the table, made current in Dm->QSanad; returns its SId.
    int addDeal(const QString& number, const QVariant& contract)
    {
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (shoomareh, EsmMalek, ghovLnameh) values ($1, $2, $3)"),
                       {number, QStringLiteral("مالک"), contract});
        const int id = scalar(QStringLiteral("select max(SId) from T_Sanad")).toInt();
        Dm->QSanad->Close();
        Dm->QSanad->Open();
        Dm->QSanad->Locate(QStringLiteral("SId"), id);
        return id;
    }
    QVariant dealContract(int id)
    {
        return scalar(QStringLiteral("select ghovLnameh from T_Sanad where SId = %1").arg(id));
    }

    // Runs action once condition holds, from the event loop of the modal window it waits for
    // (tried for at most a second).
    static void when(std::function<bool()> condition, std::function<void()> action, int tries = 200)
    {
        QTimer::singleShot(tries == 200 ? 0 : 5, [=] {
            if (condition())
                action();
            else if (tries > 0)
                when(condition, action, tries - 1);
        });
    }

    // The next template picker picks the row of this name (empty: cancels it) and reports
    // which buttons it showed.
    void answerPicker(const QString& name, bool* pickShown = nullptr, bool* deleteShown = nullptr)
    {
        when([] { return qobject_cast<TFrmSelGhovl*>(QApplication::activeModalWidget()) != nullptr; }, [=] {
            auto* picker = qobject_cast<TFrmSelGhovl*>(QApplication::activeModalWidget());
            if (pickShown)
                *pickShown = picker->form()->BitBtn1->isVisible();
            if (deleteShown)
                *deleteShown = picker->form()->BitBtn3->isVisible();
            if (name.isEmpty() || !Dm->QGhovL->Locate(QStringLiteral("esm"), name))
                picker->form()->BitBtn2->click();
            else
                picker->form()->BitBtn1->click();
        });
    }

    // Runs action in the modal editor once it shows.
    static void inModalEditor(std::function<void()> action)
    {
        when([] { return MainForm->isVisible() && QApplication::activeModalWidget() == MainForm; }, action);
    }

    // Closes the modal editor once it shows.
    static void closeEditorSoon()
    {
        inModalEditor([] {
            MainForm->close();
            MainForm->hide();
        });
    }

    void type(const QString& s)
    {
        MainForm->Editor()->moveCursor(QTextCursor::End);
        MainForm->Editor()->insertPlainText(s);
    }

    int callsOf(const char* what) const
    {
        int n = 0;
        for (const auto& c : prompter.calls)
            n += c.what == QLatin1String(what);
        return n;
    }
};

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
