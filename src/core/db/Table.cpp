// The table engine: opening and closing, the header and its count, fields, editing, the
// index file and packing.  The open file (mapping, locks, passes over the records) is
// TableFile's, and the order of the records RecordOrder's; every change is written with
// pwrite, which the mapping sees at once.

#include "core/db/Table.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/db/DbfFormat.h"
#include "core/db/FileLock.h"
#include "core/db/KeyExpression.h"
#include "core/db/Mdx.h"
#include "core/db/RecordOrder.h"
#include "core/db/TableFile.h"
#include "core/db/VideoTable.h"

namespace rv::db {

namespace fs = std::filesystem;

namespace {

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return out;
}

// The existing file `name` in `dir` whatever its letter case.
std::optional<fs::path> findNoCase(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    fs::path exact = dir / name;
    if (fs::exists(exact, ec)) return exact;
    for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end; it.increment(ec))
        if (equalsNoCase(it->path().filename().string(), name)) return dir / it->path().filename();
    return std::nullopt;
}

// A new file beside `target` that is only visible under its own temporary name.
struct TempFile {
    fs::path path;
    int fd = -1;
    explicit TempFile(const fs::path& target, const char* purpose) {
        std::string tmpl = (target.parent_path() / ("." + target.filename().string() + "." + purpose + "-XXXXXX")).string();
        fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0) systemError("Creating a new file beside", target);
        path = tmpl;
    }
    void keep() { path.clear(); }  // renamed into place: nothing to clean up
    ~TempFile() {
        if (!path.empty()) ::unlink(path.c_str());
        if (fd >= 0) ::close(fd);
    }
};

mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

constexpr const char* kPackSuffix = "pack";
constexpr const char* kCreateSuffix = "new";

}  // namespace

struct Table::Impl {
    Table& self;
    explicit Impl(Table& t) : self(t) {}

    // ---- Settings that survive closing ----
    fs::path path;
    fs::path base;
    bool wantExclusive = false;
    bool wantReadOnly = false;
    std::string indexName;
    std::map<std::string, std::string> knownTags;  // tag (upper case) -> expression added here
    const DateCodec* codec = nullptr;

    // ---- The open file ----
    TableFile file;
    std::string problem;
    dbf::Layout layout;
    int count = 0;  // records this object sees
    bool dateStamped = false;

    // ---- Order ----
    // The order is built when it is first needed (a walk, a count, a row), not at open, so
    // that opening only to look at the fields or the header costs no pass over the records.
    RecordOrder ord;
    bool orderFromTag = true;  // false after orderBy()
    Filter filter;

    // ---- Position and editing ----
    int cur = 0;
    bool atEof = true, atBof = true;
    State state = State::Inactive;
    std::string buffer;
    int lockedRecord = 0;
    int probe = 0;  // record the filter is looking at

    // ---- Durability ----
    bool unsynced = false;    // written since the last fdatasync
    bool indexDirty = false;  // records changed since the .MDX was last written

    // ---- Listeners ----
    int disabled = 0;
    bool pendingChange = false;
    std::map<int, Listener> listeners;
    int nextListener = 1;

    // ================================================================= helpers
    const DateCodec& dates() const { return codec ? *codec : defaultDateCodec(); }
    size_t recLen() const { return layout.recordLength; }
    off_t recordOffset(int r) const { return file.recordOffset(r); }
    int fd() const { return file.fd(); }
    bool exclusiveNow() const { return file.exclusive(); }
    std::string orderText() const { return ord.key() ? ord.key()->text() : std::string(); }

    void notify(Event e) {
        if (disabled > 0) {
            pendingChange = true;
            return;
        }
        if (listeners.empty()) return;
        auto copy = listeners;  // a listener may unsubscribe while being told
        for (auto& [id, l] : copy) l(e);
    }

    void requireOpen() const {
        if (!file.isOpen()) throw DatabaseError("The table " + inQuotes(path) + " is not open.");
    }
    void requireWritable() const {
        requireOpen();
        if (!problem.empty()) throw DatabaseError(problem);
        if (wantReadOnly || !file.openedForWriting())
            throw DatabaseError("The table " + inQuotes(path) + " is open read-only; it cannot be changed.");
    }
    void requireExclusive(const char* what) const {
        requireWritable();
        if (!exclusiveNow())
            throw DatabaseError(std::string(what) + " needs the table " + inQuotes(path) + " open for exclusive use.");
    }

    // ---- records in the file ----
    const char* rec(int r) const { return file.record(r); }
    bool deletedAt(int r) const { return rec(r)[0] == dbf::kDeletedFlag; }
    template <class Fn>
    void forEachRecord(int from, int to, Fn&& fn) const {
        file.forEachRecord(from, to, std::forward<Fn>(fn));
    }

    // ---- opening ----
    // Reads the header and the record count, and checks the count against the file size.
    void loadFile() {
        std::optional<lock::Guard> guard;
        if (!exclusiveNow()) guard.emplace(fd(), lock::kAppend, lock::Mode::Read);
        const std::string_view bytes = file.mapped();
        const size_t mapLength = bytes.size();
        if (mapLength == 0) throw DatabaseError("The file " + inQuotes(path) + " is empty; it is not a dBase table.");
        layout = dbf::parseHeader(bytes, path.string());
        file.setRecordLayout(layout.headerLength, layout.recordLength);
        // Bytes after the counted records are no records: the end mark, padding other
        // programs leave, or a record whose append was interrupted before the header counted
        // it.  They are ignored, and the next append writes over them.  A file too short for
        // the records its header counts has lost some of them: it opens read-only.
        const uint64_t room = (uint64_t(mapLength) - layout.headerLength) / layout.recordLength;
        const uint64_t expected = uint64_t(layout.headerLength) + uint64_t(layout.count) * layout.recordLength;
        if (mapLength >= expected) {
            count = int(std::min<uint64_t>(layout.count, INT_MAX));
            problem.clear();
        } else {
            count = int(std::min<uint64_t>({layout.count, room, uint64_t(INT_MAX)}));
            const uint64_t lostBytes = expected - mapLength;
            problem = "The table " + inQuotes(path) + " is damaged: its header says it holds " +
                      std::to_string(layout.count) + " records, but the file ends " +
                      (room + 1 == layout.count && lostBytes < layout.recordLength
                           ? std::string("inside the last of them")
                           : "after " + std::to_string(room) + " complete records") +
                      ". It has been opened read-only, and nothing in it will be changed.";
        }
        if (writable()) file.mapHeader();
    }

    bool writable() const { return file.isOpen() && file.openedForWriting() && !wantReadOnly && problem.empty(); }

    void setMdxFlag(bool on) {
        char v = on ? 1 : 0;
        writeAll(fd(), &v, 1, dbf::kMdxFlagOffset, path);
        layout.mdxFlag = uint8_t(v);
        unsynced = true;
    }

    void openInternal(bool exclusive, bool withOrder) {
        if (path.empty()) throw DatabaseError("No table file has been named.");
        file.open(path, exclusive, wantReadOnly);
        try {
            loadFile();
            if (exclusive && writable()) removeStaleIndexTemps();
            // The header flag says "an index file belongs to this table"; keep it true.
            if (writable() && layout.mdxFlag != 0 && !mdx::readMdx(self.mdxPath(), false)) setMdxFlag(false);
            state = State::Browse;
            orderFromTag = true;
            if (withOrder) {
                setKey(tagExpression(indexName));
                ord.clear();
            }
        } catch (...) {
            releaseFile();
            throw;
        }
    }

    // Removes the temporary index files (<name>.MDX.tmp<pid>) that writers of the index left
    // when they died before renaming them into place.  Only files whose process is gone are
    // removed; a live process (this one included) may still be writing its own.
    void removeStaleIndexTemps() const {
        const fs::path dir = base.parent_path();
        const std::string prefix = self.tableName() + ".MDX.tmp";
        std::error_code ec;
        for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.size() <= prefix.size() || !equalsNoCase(name.substr(0, prefix.size()), prefix)) continue;
            const std::string digits = name.substr(prefix.size());
            if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
            const pid_t pid = pid_t(std::stol(digits));
            if (pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
            std::error_code ignored;
            fs::remove(dir / name, ignored);
        }
    }

    void releaseFile() {
        file.close();
        state = State::Inactive;
        ord.setKey(std::nullopt);
        ord.clear();
        cur = 0;
        atEof = atBof = true;
        buffer.clear();
        lockedRecord = 0;
        problem.clear();
        unsynced = indexDirty = dateStamped = false;
    }

    void closeInternal() {
        if (!file.isOpen()) return;
        if (state == State::Edit || state == State::Insert) cancelEdit();
        std::exception_ptr failure;
        try {
            if (writable()) flushInternal();
        } catch (...) {
            failure = std::current_exception();
        }
        releaseFile();
        if (failure) std::rethrow_exception(failure);
    }

    // ---- the index file ----
    std::vector<KeyField> keyFields() const {
        std::vector<KeyField> out;
        for (const auto& f : layout.fields) out.push_back({f.name, f.type, f.offset, f.length, f.decimals});
        return out;
    }

    // Expression of a tag: from the readable .MDX, else as added through this object.
    std::string tagExpression(const std::string& tag) const {
        if (tag.empty()) return {};
        if (auto m = mdx::readMdx(self.mdxPath(), false))
            for (const auto& t : m->tags)
                if (equalsNoCase(t.name, tag)) return t.expression;
        auto it = knownTags.find(upperAscii(tag));
        return it == knownTags.end() ? std::string() : it->second;
    }

    // Every record's entry (deleted ones too, as dBase indexes keep them), in key order.
    // Keys are made into one flat buffer and record numbers sorted over it, so the sort moves
    // integers rather than strings.
    std::vector<mdx::TagEntry> tagEntries(const KeyExpression& expr, std::vector<char>* deleted = nullptr) const {
        const size_t kl = size_t(expr.keyLength());
        // Every byte is written by keyInto, so the buffer is not cleared first.
        std::unique_ptr<char[]> flat(new char[std::max<size_t>(1, size_t(count) * kl)]);
        if (deleted) deleted->assign(size_t(count) + 1, 0);
        forEachRecord(1, count, [&](int r, const char* data) {
            expr.keyInto(std::string_view(data, recLen()), flat.get() + size_t(r - 1) * kl);
            if (deleted) (*deleted)[size_t(r)] = data[0] == dbf::kDeletedFlag;
        });
        std::vector<int> sorted(static_cast<size_t>(count));
        for (int r = 1; r <= count; ++r) sorted[size_t(r - 1)] = r;
        const char* base = flat.get();
        sortByKeys(sorted, base, kl);
        std::vector<mdx::TagEntry> entries;
        entries.reserve(size_t(count));
        for (int r : sorted) entries.push_back({std::string(base + size_t(r - 1) * kl, kl), uint32_t(r)});
        return entries;
    }

    // Brings the count up to the file's (records other holders appended).
    void adoptAppendedRecords() {
        if (exclusiveNow()) return;
        char b[4];
        readAll(fd(), b, 4, 4, path);
        uint32_t n = uint32_t(uint8_t(b[0])) | uint32_t(uint8_t(b[1])) << 8 | uint32_t(uint8_t(b[2])) << 16 |
                     uint32_t(uint8_t(b[3])) << 24;
        if (n > uint32_t(count) && n <= uint32_t(INT_MAX)) addRecordsUpTo(int(n));
    }

    // Rebuilds every tag of `contents` from the records and writes the file, descending and
    // unique tags of other programs staying so; tags this engine cannot maintain (an
    // expression it cannot evaluate, numeric or date keys, a name that cannot be written or
    // is used twice) are left out rather than left stale.
    //
    // When `reordered` is given and a tag has the expression that orders the records, its
    // entries become the in-memory order as well (*reordered = true), saving a second pass.
    void writeIndexFile(mdx::MdxContents contents, bool* reordered = nullptr) {
        std::optional<lock::Guard> guard;
        if (!exclusiveNow()) guard.emplace(fd(), lock::kAppend, lock::Mode::Read);
        adoptAppendedRecords();
        std::vector<mdx::TagData> kept;
        for (auto& t : contents.tags) {
            if (t.keyType != 'C' || !mdx::storableTagName(t.name)) continue;
            if (std::any_of(kept.begin(), kept.end(), [&](const auto& k) { return equalsNoCase(k.name, t.name); }))
                continue;
            std::optional<KeyExpression> expr;
            try {
                expr = KeyExpression::compile(t.expression, keyFields(), t.keyLength);
            } catch (const DatabaseError&) {
                continue;
            }
            t.keyLength = expr->keyLength();
            const bool orders = reordered && !*reordered && ord.key() && !t.descending && !t.unique &&
                                t.keyLength == ord.keyLength() && equalsNoCase(t.expression, ord.key()->text());
            std::vector<char> deleted;
            t.entries = tagEntries(*expr, orders ? &deleted : nullptr);
            mdx::arrangeEntries(t);
            if (orders) {
                ord.adopt(count, t.entries, deleted);
                *reordered = true;
            }
            kept.push_back(std::move(t));
        }
        contents.tags = std::move(kept);
        contents.tableName = upperAscii(self.tableName());
        fs::path file = self.mdxPath();
        if (contents.tags.empty()) {
            std::error_code ec;
            fs::remove(file, ec);
            if (layout.mdxFlag) setMdxFlag(false);
        } else {
            mdx::writeMdx(file, contents);
            if (!layout.mdxFlag) setMdxFlag(true);
        }
        indexDirty = false;
    }

    void flushInternal() {
        if (indexDirty) {
            if (auto m = mdx::readMdx(self.mdxPath(), false); m && !m->tags.empty())
                writeIndexFile(std::move(*m));
            else
                indexDirty = false;
        }
        if (unsynced) {
            if (::fdatasync(fd()) != 0) systemError("Saving the table", path);
            unsynced = false;
        }
    }

    // ---- order ----
    // The key that orders the records ("" = record order).  An expression this engine
    // cannot evaluate (an index written by another program) leaves record order.
    void setKey(const std::string& expression) {
        std::optional<KeyExpression> key;
        if (!expression.empty()) {
            try {
                key = KeyExpression::compile(expression, keyFields());
            } catch (const DatabaseError&) {
                key.reset();
            }
        }
        ord.setKey(std::move(key));
    }

    // Orders by an expression, reading the records once.
    void buildOrder(const std::string& expression) {
        setKey(expression);
        buildOrderForKey();
    }
    void buildOrderForKey() {
        ord.begin(count);
        forEachRecord(1, count, [&](int r, const char* data) { ord.add(r, std::string_view(data, recLen())); });
        ord.finish();
    }

    // Builds the order deferred at open and makes its first record current.
    void ensureOrder() {
        if (ord.built() || !file.isOpen()) return;
        buildOrderForKey();
        moveFirst();
    }

    // Brings the order up to date: appended records merged in, deleted ones taken out.
    void settle() {
        ensureOrder();
        ord.settle();
    }
    void mergePending() {
        ensureOrder();
        ord.mergePending();
    }
    void eraseFromOrder(int r) {
        ensureOrder();
        ord.erase(r);
    }
    void insertIntoOrder(int r) {
        ensureOrder();
        ord.insert(r);
    }
    void computeKey(int r, const char* data) { ord.computeKey(r, std::string_view(data, recLen())); }

    // Takes in records count+1 .. n that another holder appended.
    void addRecordsUpTo(int n) {
        int old = count;
        count = n;
        if (!ord.built()) return;  // the order, when it is built, reads them all
        ord.grow(count);
        forEachRecord(old + 1, count, [&](int r, const char* data) {
            if (data[0] == dbf::kDeletedFlag) return;
            computeKey(r, data);
            ord.addAppended(r);
        });
    }

    bool accepts(int r) {
        if (!filter) return true;
        int saved = probe;
        probe = r;
        try {
            bool ok = filter(self);
            probe = saved;
            return ok;
        } catch (...) {
            probe = saved;
            throw;
        }
    }

    const std::vector<int>& rows() {
        ensureOrder();
        if (!filter) return ord.rows(nullptr);
        return ord.rows([this](int r) { return accepts(r); });
    }

    // Position of record r's place in the rows (where it is, or where it would be).
    size_t placeOf(const std::vector<int>& R, int r) const { return ord.placeOf(R, r); }

    void moveFirst() {
        const auto& R = rows();
        cur = R.empty() ? 0 : R.front();
        atBof = true;
        atEof = R.empty();
    }

    // One record forward (+1) or back (-1) among the shown ones.  From a record that is not
    // shown (a posted record the filter rejects) the step goes to its neighbour in the order.
    // Past either end the record stays and eof/bof becomes true.
    void step(int direction) {
        requireOpen();
        checkBrowse();
        const auto& R = rows();
        if (R.empty()) {
            cur = 0;
            atEof = atBof = true;
            return;
        }
        const size_t i = placeOf(R, cur);
        const bool here = i < R.size() && R[i] == cur;
        if (direction > 0) {
            const size_t target = here ? i + 1 : i;
            if (target < R.size()) {
                cur = R[target];
                atEof = atBof = false;
            } else {
                if (!here) cur = R.back();
                atEof = true;
            }
        } else if (i > 0) {
            cur = R[i - 1];
            atEof = atBof = false;
        } else {
            cur = R[0];
            atBof = true;
        }
        notify(Event::RecordMoved);
    }

    // ---- editing ----
    const char* currentRecord() {
        if (probe) return rec(probe);
        if (state == State::Edit || state == State::Insert) return buffer.data();
        ensureOrder();
        if (cur > 0 && cur <= count) return rec(cur);
        return nullptr;
    }

    char* editBuffer() {
        if (state != State::Edit && state != State::Insert)
            throw DatabaseError("The table " + inQuotes(path) + " is not in edit or append mode; a field cannot be set.");
        return buffer.data();
    }

    void stampDate() {
        if (dateStamped) return;
        std::string stamp = dbf::todayStamp();
        writeAll(fd(), stamp.data(), 3, 1, path);
        dateStamped = true;
    }

    void cancelEdit() {
        if (lockedRecord) lock::unlock(fd(), lock::recordByte(lockedRecord));
        lockedRecord = 0;
        buffer.clear();
        state = State::Browse;
    }

    // Appends the buffer as a new record; returns its number.
    int appendBuffer() {
        std::optional<lock::Guard> guard;
        if (!exclusiveNow()) guard.emplace(fd(), lock::kAppend, lock::Mode::Write);
        adoptAppendedRecords();
        const int r = count + 1;
        if (r == INT_MAX || uint64_t(r) > UINT32_MAX) throw DatabaseError("The table " + inQuotes(path) + " is full.");
        if (file.size() < size_t(recordOffset(r))) file.changed();  // records were cut away
        std::string data = buffer;
        data.push_back(char(dbf::kEndMarker));
        writeAll(fd(), data.data(), data.size(), recordOffset(r), path);
        // The record is complete in the file before the header counts it.
        char head[7];
        std::string stamp = dbf::todayStamp();
        std::memcpy(head, stamp.data(), 3);
        for (int i = 0; i < 4; ++i) head[3 + i] = char((uint32_t(r) >> (8 * i)) & 0xFF);
        if (char* header = file.header())
            std::memcpy(header + 1, head, sizeof head);
        else
            writeAll(fd(), head, sizeof head, 1, path);
        dateStamped = true;
        count = r;
        ord.grow(count);
        return r;
    }

    void post() {
        if (state == State::Browse) return;
        requireWritable();
        ensureOrder();
        int r;
        if (state == State::Insert) {
            r = appendBuffer();
            computeKey(r, buffer.data());
            ord.addAppended(r);
        } else {
            r = lockedRecord;
            eraseFromOrder(r);
            writeAll(fd(), buffer.data(), buffer.size(), recordOffset(r), path);
            stampDate();
            computeKey(r, buffer.data());
            if (buffer[0] != dbf::kDeletedFlag) insertIntoOrder(r);
        }
        cancelEdit();  // releases the record lock and the buffer
        ord.invalidateRows();
        unsynced = indexDirty = true;
        // The posted record stays current even when the filter rejects it, so that whoever
        // posted it goes on working on the same record.
        cur = r;
        atEof = atBof = false;
        notify(Event::DataChanged);
    }

    void checkBrowse() {
        if (state == State::Edit || state == State::Insert) post();
    }

    // ---- fields ----
    const FieldInfo& fieldAt(int i) const {
        requireOpen();
        if (i < 0 || i >= int(layout.fields.size()))
            throw DatabaseError("The table " + inQuotes(path) + " has no field number " + std::to_string(i + 1) + ".");
        return layout.fields[size_t(i)];
    }
    int fieldByName(std::string_view name) const {
        int i = self.fieldIndex(name);
        if (i < 0) throw DatabaseError("The table " + inQuotes(path) + " has no field named " + std::string(name) + ".");
        return i;
    }
};

// ======================================================================== Table

Table::Table() : d_(std::make_unique<Impl>(*this)) {}

Table::~Table() {
    try {
        d_->closeInternal();
    } catch (...) {
        // Nothing can be reported from a destructor; the records were written at post.
    }
}

void Table::setPath(const fs::path& dbfPath) {
    if (isOpen()) throw DatabaseError("The table " + inQuotes(d_->path) + " must be closed before it is pointed elsewhere.");
    fs::path given = dbfPath;
    std::string name = given.filename().string();
    std::string stem = name.substr(0, name.find('.'));
    d_->base = given.parent_path() / stem;
    std::error_code ec;
    if (fs::exists(given, ec))
        d_->path = given;
    else if (auto found = findNoCase(given.parent_path(), stem + ".DBF"))
        d_->path = *found;
    else
        d_->path = given;
}

const fs::path& Table::path() const { return d_->path; }
fs::path Table::basePath() const { return d_->base; }
std::string Table::tableName() const { return d_->base.filename().string(); }

fs::path Table::companionPath(std::string_view extension) const {
    std::string name = d_->base.filename().string() + std::string(extension);
    if (auto found = findNoCase(d_->base.parent_path(), name)) return *found;
    return d_->base.parent_path() / name;
}

void Table::setExclusive(bool exclusive) { d_->wantExclusive = exclusive; }
bool Table::exclusive() const { return d_->wantExclusive; }
void Table::setReadOnly(bool readOnly) { d_->wantReadOnly = readOnly; }
bool Table::readOnly() const { return d_->wantReadOnly; }

void Table::open() {
    if (isOpen()) return;
    d_->openInternal(d_->wantExclusive, true);
    d_->notify(Event::Reopened);
}

void Table::close() {
    if (!isOpen()) return;
    d_->closeInternal();
    d_->notify(Event::Closed);
}

bool Table::isOpen() const { return d_->file.isOpen(); }
bool Table::isWritable() const { return d_->writable(); }
const std::string& Table::problem() const { return d_->problem; }

// ---- creating --------------------------------------------------------------------------

void Table::create(const fs::path& dbfPath, const std::vector<FieldSpec>& specs) {
    std::vector<FieldInfo> fields = dbf::fieldsFromSpecs(specs);
    std::error_code ec;
    fs::path target = fs::is_symlink(dbfPath, ec) ? fs::canonical(dbfPath, ec) : dbfPath;
    mode_t mode = newFileMode();
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (DBaseInUse(target))
            throw TableInUseError("The table " + inQuotes(dbfPath) +
                                  " is in use by another program or user, so it cannot be replaced.");
        mode = st.st_mode & 07777;
    }
    std::string bytes = dbf::buildHeader(fields, 0, false);
    bytes.push_back(char(dbf::kEndMarker));
    TempFile tmp(target, kCreateSuffix);
    writeAll(tmp.fd, bytes.data(), bytes.size(), 0, target);
    if (::fchmod(tmp.fd, mode) != 0 || ::fsync(tmp.fd) != 0) systemError("Creating the table", target);
    if (::rename(tmp.path.c_str(), target.c_str()) != 0) systemError("Creating the table", target);
    tmp.keep();
    syncDirectory(target.parent_path());
    // The new table has no index: an index file left by the table it replaces would describe
    // other records.
    Table t;
    t.setPath(target);
    if (auto mdxFile = findNoCase(t.basePath().parent_path(), t.tableName() + ".MDX")) fs::remove(*mdxFile, ec);
}

std::vector<FieldSpec> Table::videoFieldSpecs() {
    std::vector<FieldSpec> specs;
    for (const FieldDef& f : kFields)
        specs.push_back({std::string(f.name), f.kind, f.kind == FieldKind::Text ? f.width : 0});
    return specs;
}

void Table::createVideoTable(const fs::path& dbfPath) { create(dbfPath, videoFieldSpecs()); }

// ---- fields ----------------------------------------------------------------------------

int Table::fieldCount() const { return isOpen() ? int(d_->layout.fields.size()) : 0; }
const std::string& Table::fieldName(int i) const { return d_->fieldAt(i).name; }
const FieldInfo& Table::fieldInfo(int i) const { return d_->fieldAt(i); }

int Table::fieldIndex(std::string_view name) const {
    for (size_t i = 0; i < d_->layout.fields.size() && isOpen(); ++i)
        if (equalsNoCase(d_->layout.fields[i].name, name)) return int(i);
    return -1;
}

// ---- index -----------------------------------------------------------------------------

namespace {

void checkTagName(const std::string& tag) {
    bool ok = !tag.empty() && tag.size() <= 10;
    for (char c : tag) ok = ok && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
    if (!ok) throw DatabaseError("The index tag name \"" + tag + "\" is not allowed: use 1 to 10 letters or digits.");
}

}  // namespace

void Table::runExclusive(const char* what, const std::function<void(bool wasOpen)>& work) {
    if (isOpen()) {
        d_->requireExclusive(what);
        work(true);
        return;
    }
    d_->openInternal(true, false);
    try {
        d_->requireWritable();
        work(false);
        d_->closeInternal();
    } catch (...) {
        d_->releaseFile();
        throw;
    }
}

void Table::addIndex(const std::string& tag, const std::string& expression) {
    checkTagName(tag);
    runExclusive("Adding an index", [&](bool wasOpen) {
        KeyExpression::compile(expression, d_->keyFields());  // a bad expression changes nothing
        mdx::MdxContents contents;
        if (auto m = mdx::readMdx(mdxPath(), false)) contents = std::move(*m);
        auto& tags = contents.tags;
        tags.erase(std::remove_if(tags.begin(), tags.end(), [&](const auto& t) { return equalsNoCase(t.name, tag); }),
                   tags.end());
        mdx::TagData t;
        t.name = upperAscii(tag);
        t.expression = expression;
        tags.push_back(std::move(t));
        d_->writeIndexFile(std::move(contents));
        if (::fdatasync(d_->fd()) != 0) systemError("Saving the table", d_->path);
        d_->unsynced = false;
        d_->knownTags[upperAscii(tag)] = expression;
        if (wasOpen && d_->orderFromTag && equalsNoCase(d_->indexName, tag)) {
            d_->buildOrder(expression);
            notifyDataChangedKeepingRecord();
        }
    });
}

void Table::deleteIndex(const std::string& tag) {
    runExclusive("Deleting an index", [&](bool wasOpen) {
        d_->knownTags.erase(upperAscii(tag));
        auto m = mdx::readMdx(mdxPath(), false);
        if (!m) {
            if (d_->layout.mdxFlag) d_->setMdxFlag(false);
            return;
        }
        auto& tags = m->tags;
        auto it = std::find_if(tags.begin(), tags.end(), [&](const auto& t) { return equalsNoCase(t.name, tag); });
        if (it == tags.end()) return;
        tags.erase(it);
        d_->writeIndexFile(std::move(*m));
        if (::fdatasync(d_->fd()) != 0) systemError("Saving the table", d_->path);
        d_->unsynced = false;
        if (wasOpen && d_->orderFromTag && equalsNoCase(d_->indexName, tag)) {
            d_->buildOrder("");
            notifyDataChangedKeepingRecord();
        }
    });
}

void Table::setIndexName(const std::string& tag) {
    if (!isOpen()) {
        d_->indexName = tag;
        return;
    }
    d_->checkBrowse();
    std::string expression = d_->tagExpression(tag);
    if (!tag.empty() && expression.empty())
        throw DatabaseError("The index tag " + tag + " does not exist for the table " + inQuotes(d_->path) + ".");
    d_->indexName = tag;
    d_->orderFromTag = true;
    d_->buildOrder(expression);
    notifyDataChangedKeepingRecord();
}

const std::string& Table::indexName() const { return d_->indexName; }

std::string Table::orderExpression() const { return d_->ord.key() ? d_->ord.key()->text() : std::string(); }

std::vector<std::string> Table::indexTags() const {
    std::vector<std::string> out;
    if (auto m = mdx::readMdx(mdxPath(), false))
        for (const auto& t : m->tags) out.push_back(t.name);
    return out;
}

Table::TagStatus Table::tagStatus(const std::string& tag) const {
    d_->requireOpen();
    auto m = mdx::readMdx(mdxPath(), true);
    if (!m) return TagStatus::Absent;
    for (const auto& t : m->tags) {
        if (!equalsNoCase(t.name, tag)) continue;
        if (t.keyType != 'C') return TagStatus::Stale;
        std::optional<KeyExpression> expr;
        try {
            expr = KeyExpression::compile(t.expression, d_->keyFields(), t.keyLength);
        } catch (const DatabaseError&) {
            return TagStatus::Stale;  // an expression this engine cannot evaluate
        }
        if (expr->keyLength() != t.keyLength) return TagStatus::Stale;
        mdx::TagData want;
        want.descending = t.descending;
        want.unique = t.unique;
        want.entries = d_->tagEntries(*expr);
        mdx::arrangeEntries(want);
        bool same = want.entries.size() == t.entries.size() &&
                    std::equal(want.entries.begin(), want.entries.end(), t.entries.begin(),
                               [](const auto& a, const auto& b) { return a.recno == b.recno && a.key == b.key; });
        return same && d_->layout.mdxFlag ? TagStatus::Current : TagStatus::Stale;
    }
    return TagStatus::Absent;
}

void Table::orderBy(const std::string& expression) {
    d_->requireOpen();
    d_->checkBrowse();
    if (!expression.empty()) KeyExpression::compile(expression, d_->keyFields());  // report a bad one
    d_->orderFromTag = false;
    d_->buildOrder(expression);
    notifyDataChangedKeepingRecord();
}

void Table::regenerateIndexes() {
    d_->requireExclusive("Rebuilding the indexes");
    d_->checkBrowse();
    mdx::MdxContents contents;
    if (auto m = mdx::readMdx(mdxPath(), false)) {
        contents = std::move(*m);
    } else {
        // A damaged index file: rebuild what this object knows it should hold.
        for (const auto& [tag, expression] : d_->knownTags) contents.tags.push_back({tag, expression, 0, false, false, {}});
    }
    bool reordered = false;
    if (contents.tags.empty()) {
        if (d_->layout.mdxFlag) d_->setMdxFlag(false);
    } else {
        d_->writeIndexFile(std::move(contents), &reordered);
    }
    d_->flushInternal();
    if (!reordered) d_->buildOrder(d_->orderText());
    notifyDataChangedKeepingRecord();
}

void Table::pack() {
    Impl& d = *d_;
    d.requireExclusive("Packing");
    d.checkBrowse();
    std::error_code ec;
    fs::path target = fs::is_symlink(d.path, ec) ? fs::canonical(d.path, ec) : d.path;
    const fs::path dir = target.parent_path();

    // Files left by a packer or an index writer that died: nobody else can be packing while
    // we hold the table.
    d.removeStaleIndexTemps();
    const std::string leftover = "." + target.filename().string() + "." + kPackSuffix + "-";
    for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().rfind(leftover, 0) == 0) fs::remove(it->path(), ec);

    TempFile tmp(target, kPackSuffix);
    // Nobody may open the new file before it is ours.
    if (!lock::tryLock(tmp.fd, lock::kPresence, lock::Mode::Write))
        throw DatabaseError("The packed table could not be locked.");

    // The header as it was (foreign layouts stay as they are), with the new count, today's
    // date and no index flag until the index file matches the packed records.
    // The records are read once; the header, which counts them, is written last.
    std::string header(d.file.mapped().substr(0, d.layout.headerLength));
    uint32_t live = 0;
    std::string out;
    off_t at = off_t(header.size());
    const size_t chunk = size_t(1) << 20;
    d.forEachRecord(1, d.count, [&](int, const char* data) {
        if (data[0] == dbf::kDeletedFlag) return;
        ++live;
        out.append(data, d.recLen());
        if (out.size() >= chunk) {
            writeAll(tmp.fd, out.data(), out.size(), at, target);
            at += off_t(out.size());
            out.clear();
        }
    });
    out.push_back(char(dbf::kEndMarker));
    writeAll(tmp.fd, out.data(), out.size(), at, target);
    std::string stamp = dbf::todayStamp();
    std::memcpy(&header[1], stamp.data(), 3);
    for (int i = 0; i < 4; ++i) header[size_t(4 + i)] = char((live >> (8 * i)) & 0xFF);
    header[dbf::kMdxFlagOffset] = 0;
    writeAll(tmp.fd, header.data(), header.size(), 0, target);

    struct stat st {};
    if (::fstat(d.fd(), &st) == 0) ::fchmod(tmp.fd, st.st_mode & 07777);
    if (::fsync(tmp.fd) != 0) systemError("Packing the table", target);
    if (::rename(tmp.path.c_str(), target.c_str()) != 0) systemError("Packing the table", target);
    tmp.keep();
    syncDirectory(dir);

    // The new file is the table now; the old one goes with its descriptor.
    d.file.replaceWith(tmp.fd);
    tmp.fd = -1;
    d.dateStamped = true;
    d.loadFile();
    bool reordered = false;
    if (auto m = mdx::readMdx(mdxPath(), false); m && !m->tags.empty()) d.writeIndexFile(std::move(*m), &reordered);
    if (::fdatasync(d.fd()) != 0) systemError("Packing the table", target);
    d.unsynced = false;
    d.indexDirty = false;
    if (!reordered) d.buildOrder(d.orderText());
    d.moveFirst();
    d.notify(Event::DataChanged);
}

// ---- navigation ------------------------------------------------------------------------

void Table::first() {
    d_->requireOpen();
    d_->checkBrowse();
    d_->moveFirst();
    d_->notify(Event::RecordMoved);
}

void Table::last() {
    d_->requireOpen();
    d_->checkBrowse();
    const auto& R = d_->rows();
    d_->cur = R.empty() ? 0 : R.back();
    d_->atEof = true;
    d_->atBof = R.empty();
    d_->notify(Event::RecordMoved);
}

void Table::next() { d_->step(+1); }
void Table::prior() { d_->step(-1); }

bool Table::eof() const {
    d_->ensureOrder();
    return d_->atEof;
}
bool Table::bof() const {
    d_->ensureOrder();
    return d_->atBof;
}

int Table::recordCount() { return isOpen() ? int(d_->rows().size()) : 0; }

int Table::recNo() const {
    if (d_->state == State::Insert) return 0;
    d_->ensureOrder();
    return d_->cur;
}

bool Table::moveToRecNo(int r) {
    d_->requireOpen();
    d_->checkBrowse();
    d_->ensureOrder();
    if (r < 1 || r > d_->count || d_->deletedAt(r) || !d_->accepts(r)) return false;
    d_->cur = r;
    d_->atEof = d_->atBof = false;
    d_->notify(Event::RecordMoved);
    return true;
}

bool Table::moveToRow(int row) {
    d_->requireOpen();
    d_->checkBrowse();
    const auto& R = d_->rows();
    if (row < 0 || size_t(row) >= R.size()) return false;
    d_->cur = R[size_t(row)];
    d_->atEof = d_->atBof = false;
    d_->notify(Event::RecordMoved);
    return true;
}

int Table::currentRow() {
    if (!isOpen() || d_->cur == 0) return -1;
    const auto& R = d_->rows();
    size_t i = d_->placeOf(R, d_->cur);
    return i < R.size() && R[i] == d_->cur ? int(i) : -1;
}

int Table::recNoAtRow(int row) {
    if (!isOpen()) return 0;
    const auto& R = d_->rows();
    return row >= 0 && size_t(row) < R.size() ? R[size_t(row)] : 0;
}

std::string Table::valueAt(int r, int field) const {
    if (!isOpen() || r < 1 || r > d_->count || field < 0 || field >= fieldCount()) return {};
    const FieldInfo& f = d_->layout.fields[size_t(field)];
    return dbf::text(dbf::stored(d_->rec(r), f), f, d_->dates());
}

int Table::physicalRecordCount() const { return isOpen() ? d_->count : 0; }

int Table::deletedCount() const {
    if (!isOpen()) return 0;
    int n = 0;
    d_->forEachRecord(1, d_->count, [&](int, const char* data) { n += data[0] == dbf::kDeletedFlag ? 1 : 0; });
    return n;
}

bool Table::isDeleted(int r) const { return isOpen() && r >= 1 && r <= d_->count && d_->deletedAt(r); }

// ---- field values ----------------------------------------------------------------------

std::string Table::asString(int i) const {
    const FieldInfo& f = d_->fieldAt(i);
    const char* r = d_->currentRecord();
    return r ? dbf::text(dbf::stored(r, f), f, d_->dates()) : std::string();
}
std::string Table::asString(std::string_view name) const { return asString(d_->fieldByName(name)); }

double Table::asNumber(int i) const {
    const FieldInfo& f = d_->fieldAt(i);
    const char* r = d_->currentRecord();
    return r ? dbf::number(dbf::stored(r, f)) : 0.0;
}
double Table::asNumber(std::string_view name) const { return asNumber(d_->fieldByName(name)); }

Date Table::asDate(int i) const {
    const FieldInfo& f = d_->fieldAt(i);
    const char* r = d_->currentRecord();
    return r ? dbf::date(dbf::stored(r, f), f) : Date{};
}
Date Table::asDate(std::string_view name) const { return asDate(d_->fieldByName(name)); }

std::string Table::asStored(int i) const {
    const FieldInfo& f = d_->fieldAt(i);
    const char* r = d_->currentRecord();
    return r ? std::string(dbf::stored(r, f)) : std::string(size_t(f.length), ' ');
}

bool Table::isBlank(int i) const {
    const FieldInfo& f = d_->fieldAt(i);
    const char* r = d_->currentRecord();
    return !r || dbf::isBlank(dbf::stored(r, f));
}

void Table::setString(int i, std::string_view text) {
    const FieldInfo& f = d_->fieldAt(i);
    dbf::setText(d_->editBuffer(), f, text, d_->dates());
}
void Table::setString(std::string_view name, std::string_view text) { setString(d_->fieldByName(name), text); }

void Table::setNumber(int i, double value) {
    const FieldInfo& f = d_->fieldAt(i);
    dbf::setNumber(d_->editBuffer(), f, value);
}
void Table::setNumber(std::string_view name, double value) { setNumber(d_->fieldByName(name), value); }

void Table::setDate(int i, const Date& date) {
    const FieldInfo& f = d_->fieldAt(i);
    dbf::setDate(d_->editBuffer(), f, date, d_->dates());
}
void Table::setDate(std::string_view name, const Date& date) { setDate(d_->fieldByName(name), date); }

void Table::clear(int i) {
    const FieldInfo& f = d_->fieldAt(i);
    dbf::setBlank(d_->editBuffer(), f);
}
void Table::clear(std::string_view name) { clear(d_->fieldByName(name)); }

void Table::setDateCodec(const DateCodec* codec) { d_->codec = codec; }
const DateCodec& Table::dateCodec() const { return d_->dates(); }

// ---- editing ---------------------------------------------------------------------------

void Table::append() {
    d_->requireWritable();
    d_->checkBrowse();
    d_->buffer.assign(d_->recLen(), ' ');
    d_->state = State::Insert;
}

void Table::edit() {
    Impl& d = *d_;
    d.requireWritable();
    if (d.state == State::Edit || d.state == State::Insert) return;
    d.ensureOrder();
    if (d.cur == 0) throw DatabaseError("There is no current record to edit in the table " + inQuotes(d.path) + ".");
    if (!lock::tryLock(d.fd(), lock::recordByte(d.cur), lock::Mode::Write))
        throw DatabaseError("Record " + std::to_string(d.cur) + " of the table " + inQuotes(d.path) +
                            " is being changed by another program or user.");
    d.lockedRecord = d.cur;
    d.buffer.assign(d.rec(d.cur), d.recLen());  // the record as it is in the file now
    d.state = State::Edit;
}

void Table::post() { d_->post(); }

void Table::cancel() {
    if (d_->state != State::Edit && d_->state != State::Insert) return;
    d_->cancelEdit();
    d_->notify(Event::RecordMoved);
}

void Table::deleteRecord() {
    Impl& d = *d_;
    d.requireWritable();
    if (d.state == State::Insert) return cancel();
    if (d.state == State::Edit) d.cancelEdit();
    d.ensureOrder();
    if (d.cur == 0) throw DatabaseError("There is no current record to delete in the table " + inQuotes(d.path) + ".");
    const int r = d.cur;
    if (!lock::tryLock(d.fd(), lock::recordByte(r), lock::Mode::Write))
        throw DatabaseError("Record " + std::to_string(r) + " of the table " + inQuotes(d.path) +
                            " is being changed by another program or user.");
    try {
        char flag = dbf::kDeletedFlag;
        writeAll(d.fd(), &flag, 1, d.recordOffset(r), d.path);
        d.stampDate();
    } catch (...) {
        lock::unlock(d.fd(), lock::recordByte(r));
        throw;
    }
    lock::unlock(d.fd(), lock::recordByte(r));
    d.unsynced = d.indexDirty = true;
    d.ord.invalidateRows();
    // The next shown record becomes current, else the one before.  Without a filter the
    // deleted entry stays in the order until it is next settled, so that deleting many
    // records one after another does not shift the whole order each time.
    if (!d.filter && d.ord.deletedSinceSettled() * 16 > d.ord.order().size()) d.settle();
    const std::vector<int>& R = d.filter ? d.rows() : (d.mergePending(), d.ord.order());
    const size_t place = d.placeOf(R, r);
    auto shown = [&](int rec) { return rec != r && !d.deletedAt(rec); };
    d.cur = 0;
    for (size_t j = place; j < R.size() && !d.cur; ++j)
        if (shown(R[j])) d.cur = R[j];
    for (size_t j = std::min(place, R.size()); j > 0 && !d.cur; --j)
        if (shown(R[j - 1])) d.cur = R[j - 1];
    if (d.filter) {
        d.eraseFromOrder(r);
    } else {
        d.ord.markDeleted(r);
    }
    d.atEof = d.atBof = d.cur == 0;
    d.notify(Event::DataChanged);
}

Table::State Table::state() const { return d_->state; }

void Table::refresh() {
    Impl& d = *d_;
    d.requireOpen();
    d.checkBrowse();
    d.ensureOrder();
    const int keep = d.cur;
    d.loadFile();
    d.buildOrder(d.orderText());
    if (keep > 0 && keep <= d.count && !d.deletedAt(keep) && d.accepts(keep)) {
        d.cur = keep;
    } else {
        const auto& R = d.rows();
        size_t i = d.placeOf(R, keep);
        d.cur = R.empty() ? 0 : i < R.size() ? R[i] : R.back();
    }
    d.atEof = d.atBof = d.cur == 0;
    d.notify(Event::DataChanged);
}

// ---- filter ----------------------------------------------------------------------------

void Table::setFilter(Filter filter) {
    d_->checkBrowse();
    d_->filter = std::move(filter);
    d_->ord.invalidateRows();
    if (isOpen()) d_->moveFirst();
    d_->notify(Event::DataChanged);
}

void Table::clearFilter() {
    if (!d_->filter) return;
    d_->filter = nullptr;
    d_->ord.invalidateRows();
    notifyDataChangedKeepingRecord();
}

bool Table::hasFilter() const { return bool(d_->filter); }

// ---- display updates -------------------------------------------------------------------

void Table::disableControls() { ++d_->disabled; }

void Table::enableControls() {
    if (d_->disabled == 0) return;
    if (--d_->disabled == 0 && d_->pendingChange) {
        d_->pendingChange = false;
        d_->notify(Event::DataChanged);
    }
}

bool Table::controlsDisabled() const { return d_->disabled > 0; }

int Table::subscribe(Listener listener) {
    int id = d_->nextListener++;
    d_->listeners[id] = std::move(listener);
    return id;
}

void Table::unsubscribe(int id) { d_->listeners.erase(id); }

void Table::flush() {
    if (!isOpen() || !d_->writable()) return;
    d_->flushInternal();
}

void Table::notifyDataChangedKeepingRecord() {
    Impl& d = *d_;
    if (d.state == State::Inactive) return;
    const auto& R = d.rows();
    if (d.cur == 0 || R.empty()) {
        d.moveFirst();
    } else {
        size_t i = d.placeOf(R, d.cur);
        if (i >= R.size() || R[i] != d.cur) d.cur = i < R.size() ? R[i] : R.back();
        d.atEof = d.atBof = false;
    }
    d.notify(Event::DataChanged);
}

}  // namespace rv::db
