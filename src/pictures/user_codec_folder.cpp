#include "pictures/user_codec_folder.h"

#include <QFile>
#include <QStandardPaths>

namespace varnock {

std::string UserCodecFolder() {
  // The application's own data folder, named here rather than by the running application, so
  // the tool (which has none) finds the editor's.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QFile::encodeName(data + QStringLiteral("/Varnock Pro/codecs")).toStdString();
}

}  // namespace varnock
