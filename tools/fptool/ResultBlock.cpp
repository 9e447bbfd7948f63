#include "tools/fptool/ResultBlock.h"

#include <cstdio>

std::string EscapeValue(const std::string& bytes) {
  std::string escaped;
  for (char c : bytes) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string StatusFlagList(const FPCommand00& record) {
  std::string list;
  for (int flag = 0; flag < 36; ++flag) {
    if (!record.StatusBits[flag]) continue;
    if (!list.empty()) list += ',';
    list += StatusFlagNames[flag];
  }
  return list;
}

std::string ResultBlock(FPCommand00& record) {
  char status[13];
  std::snprintf(status, sizeof status, "%02X%02X%02X%02X%02X%02X", record.Status[0],
                record.Status[1], record.Status[2], record.Status[3], record.Status[4],
                record.Status[5]);
  return "ErrorCode: " + std::to_string(record.ErrorCode) + "\n" +
         "ReplySequence: " + std::to_string(record.ReplySequence) + "\n" +
         "ReplyCommand: " + std::to_string(record.ReplyCommand) + "\n" +
         "ReplyData: " + EscapeValue(record.ReplyData) + "\n" + "Status: " + status + "\n" +
         "StatusFlags: " + StatusFlagList(record) + "\n" +
         "ErrorText: " + EscapeValue(record.ErrorText()) + "\n\n";
}
