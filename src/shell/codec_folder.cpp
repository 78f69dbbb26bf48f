#include "shell/codec_folder.h"

#include <QStringList>

#include "shell/prompts.h"

namespace varnock {

QString CodecLoadProblems(const std::vector<CodecLoadResult>& results) {
  QStringList refused;
  for (const CodecLoadResult& result : results)
    if (!result.Format)
      refused << QStringLiteral("%1: %2").arg(PathForDisplay(result.Path),
                                              QString::fromStdString(result.Message));
  if (refused.isEmpty()) return {};
  return QStringLiteral("These encodings could not be loaded:\n") + refused.join(QLatin1Char('\n'));
}

void ReportCodecLoadProblems(const std::vector<CodecLoadResult>& results) {
  const QString problems = CodecLoadProblems(results);
  if (!problems.isEmpty()) ShowError(problems);
}

}  // namespace varnock
