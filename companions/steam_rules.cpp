#include "companions/steam_rules.h"

#include <algorithm>

#include "base/text.h"

namespace {

constexpr int kLastLibraryKey = 20;
constexpr size_t kPathField = 3;  // between the third and the fourth quote

char LowerAsciiByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAsciiBytes(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), LowerAsciiByte);
  return text;
}

std::string TrimSpaceBytes(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Steam writes every backslash of a path twice.
std::string UndoubleBackslashes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return out;
}

// The text between the third and the fourth double quote of a line such as
// "BaseInstallFolder_1" <tabs> "D:\\SteamLibrary"; empty when the line holds
// fewer than four quotes.
std::string QuotedValueField(const std::string& line) {
  size_t start = 0;
  for (size_t field = 0; field < kPathField; ++field) {
    start = line.find('"', start);
    if (start == std::string::npos) return std::string();
    ++start;
  }
  const size_t end = line.find('"', start);
  return end == std::string::npos ? std::string() : line.substr(start, end - start);
}

std::string LineFrom(const std::string& text, size_t position) {
  const size_t end = text.find('\n', position);
  return text.substr(position, end == std::string::npos ? std::string::npos : end - position);
}

// --- libraryfolders.vdf ---------------------------------------------------

enum class TokenKind { kText, kOpen, kClose };

struct Token {
  TokenKind kind;
  std::string text;
};

bool IsVdfSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char EscapedChar(char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 't':
      return '\t';
    default:
      return c;
  }
}

// A quoted string starting after its opening quote; `at` ends past the
// closing quote (or at the end of an unterminated string).
std::string QuotedText(const std::string& text, size_t& at) {
  std::string out;
  while (at < text.size() && text[at] != '"') {
    if (text[at] == '\\' && at + 1 < text.size()) {
      out += EscapedChar(text[at + 1]);
      at += 2;
    } else {
      out += text[at++];
    }
  }
  if (at < text.size()) ++at;
  return out;
}

std::vector<Token> VdfTokens(const std::string& text) {
  std::vector<Token> tokens;
  size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (IsVdfSpace(c)) {
      ++at;
    } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
      at = std::min(text.find('\n', at), text.size());
    } else if (c == '{' || c == '}') {
      tokens.push_back({c == '{' ? TokenKind::kOpen : TokenKind::kClose, std::string()});
      ++at;
    } else if (c == '"') {
      ++at;
      tokens.push_back({TokenKind::kText, QuotedText(text, at)});
    } else {
      const size_t start = at;
      while (at < text.size() && !IsVdfSpace(text[at]) && text[at] != '{' && text[at] != '}' &&
             text[at] != '"') {
        ++at;
      }
      tokens.push_back({TokenKind::kText, text.substr(start, at - start)});
    }
  }
  return tokens;
}

bool IsText(const std::vector<Token>& tokens, size_t index) {
  return index < tokens.size() && tokens[index].kind == TokenKind::kText;
}

std::wstring FolderKey(const std::wstring& path) {
  std::wstring key = ToLowerAscii(path);
  std::replace(key.begin(), key.end(), L'/', L'\\');
  while (!key.empty() && key.back() == L'\\') key.pop_back();
  return key;
}

}  // namespace

std::wstring SteamFileText(const std::string& bytes) {
  std::wstring text = FromUtf8(bytes);
  if (ToUtf8(text) == bytes) return text;
  text.clear();
  for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

std::vector<std::wstring> ConfigLibraryFolders(const std::string& configBytes) {
  const std::string searchable = LowerAsciiBytes(configBytes);
  std::vector<std::wstring> folders;
  for (int number = 1; number <= kLastLibraryKey; ++number) {
    const std::string key = "\"baseinstallfolder_" + std::to_string(number) + "\"";
    const size_t found = searchable.find(key);
    if (found == std::string::npos) continue;
    const std::string line = TrimSpaceBytes(LineFrom(configBytes, found));
    folders.push_back(SteamFileText(UndoubleBackslashes(QuotedValueField(line))));
  }
  return folders;
}

std::vector<std::wstring> LibraryFoldersVdfPaths(const std::string& vdfBytes) {
  // "libraryfolders" { "0" { "path" "C:\\..." ... } "1" { ... } }: a path
  // counts only two blocks deep, so no other "path" key is taken for one.
  constexpr int kLibraryDepth = 2;
  const std::vector<Token> tokens = VdfTokens(vdfBytes);
  std::vector<std::wstring> paths;
  int depth = 0;
  size_t at = 0;
  while (at < tokens.size()) {
    if (tokens[at].kind != TokenKind::kText) {
      depth = std::max(0, depth + (tokens[at].kind == TokenKind::kOpen ? 1 : -1));
      ++at;
      continue;
    }
    if (!IsText(tokens, at + 1)) {
      ++at;  // a key whose value is a block
      continue;
    }
    const std::string& value = tokens[at + 1].text;
    if (depth == kLibraryDepth && LowerAsciiBytes(tokens[at].text) == "path" && !value.empty()) {
      paths.push_back(SteamFileText(value));
    }
    at += 2;
  }
  return paths;
}

void AppendNewFolders(std::vector<std::wstring>& list, const std::vector<std::wstring>& more) {
  for (const std::wstring& folder : more) {
    const std::wstring key = FolderKey(folder);
    const bool known = std::any_of(list.begin(), list.end(), [&](const std::wstring& entry) {
      return FolderKey(entry) == key;
    });
    if (!known) list.push_back(folder);
  }
}
