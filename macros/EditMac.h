// The edit panel of the macro dialog: the name and the key of one macro, limited to the
// table's field sizes. OK is refused for a key that the macro text could not hold as a key
// (empty, or starting with "[" or "="), since such a macro would be read back wrongly.
#pragma once

#include <QDialog>

class QLineEdit;

namespace lumivar {

class TfEditMac : public QDialog {
    Q_OBJECT
public:
    explicit TfEditMac(QWidget* parent = nullptr);

    // Loads the fields before the panel is shown.
    void SetFields(const QString& name, const QString& key);
    QString Name() const;
    QString Key() const;

    QLineEdit* NameEdit() const { return nameEdit_; }
    QLineEdit* KeyEdit() const { return keyEdit_; }

    // OK: closes with the result Accepted unless the key is refused.
    void accept() override;

private:
    QLineEdit* nameEdit_;
    QLineEdit* keyEdit_;
};

} // namespace lumivar
