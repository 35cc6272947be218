#include "DbSubcommand.h"

#include "QtRuntime.h"
#include "RecordJson.h"
#include "TextTable.h"

#include "app/DataRoot.h"
#include "app/TestRecordDatabase.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

namespace dgaws::cli {
namespace {

std::optional<TestRange> parseRange(const std::string& text)
{
    if (text == "all")
        return TestRange::All;
    if (text == "year")
        return TestRange::Year;
    if (text == "month")
        return TestRange::Month;
    if (text == "week")
        return TestRange::Week;
    return std::nullopt;
}

const char* objectName(DbRequest::Object o)
{
    switch (o) {
    case DbRequest::Object::Company: return "company";
    case DbRequest::Object::Device: return "device";
    case DbRequest::Object::Tests: return "tests";
    }
    return "";
}

const char* actionName(DbRequest::Action a)
{
    switch (a) {
    case DbRequest::Action::Add: return "add";
    case DbRequest::Action::Rename: return "rename";
    case DbRequest::Action::Delete: return "delete";
    case DbRequest::Action::List: return "list";
    case DbRequest::Action::Set: return "set";
    }
    return "";
}

class DbRun {
public:
    DbRun(const DbRequest& request, std::ostream& out, std::ostream& err)
        : req_(request), out_(out), err_(err)
    {}

    int run()
    {
        if (req_.object == DbRequest::Object::Tests && !parseRange(req_.range)) {
            refuse("--range " + req_.range + ": one of all, year, month, week");
            return 2;
        }
        ensureCoreRuntime();
        db_.setMessageSink([this](const std::string& m) { messages_.push_back(m); });
        const std::string root = dataRoot(req_.home);
        try {
            if (!db_.open(DatabaseSettings::fromSettingsFile(settingsFilePath(root), root)))
                return failed();
        } catch (const std::exception& e) {
            refuse(e.what());
            return 1;
        }
        switch (req_.object) {
        case DbRequest::Object::Company: return company();
        case DbRequest::Object::Device: return device();
        case DbRequest::Object::Tests: return tests();
        }
        return 1;
    }

private:
    void refuse(const std::string& text) { err_ << "dgaws-cli: " << text << '\n'; }

    int failed()
    {
        for (const std::string& m : messages_)
            refuse(m);
        return 1;
    }

    // A maintenance step: its messages on stdout when it worked, on stderr when refused.
    int done(const Result<void>& step)
    {
        if (!step)
            return failed();
        if (req_.json) {
            Json j = {
                {"operation", std::string(objectName(req_.object)) + " " + actionName(req_.action)},
                {"name", req_.name},
                {"messages", messages_}};
            print(j);
        } else {
            for (const std::string& m : messages_)
                out_ << m << '\n';
        }
        return 0;
    }

    void print(const Json& j)
    {
        out_ << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
        out_.flush();
    }

    std::optional<int> companyNamed(const std::string& name)
    {
        // A lookup the database failed has said why among the messages.
        const int id = db_.companyId(name).value_or(-1);
        if (id < 0) {
            for (const std::string& m : messages_)
                refuse(m);
            refuse("no sending company named \"" + name + "\"");
            return std::nullopt;
        }
        return id;
    }

    int company()
    {
        switch (req_.action) {
        case DbRequest::Action::Add: return done(db_.addCompany(req_.name));
        case DbRequest::Action::Rename:
            return done(db_.renameCompany(db_.companyId(req_.name).value_or(-1), req_.newName));
        case DbRequest::Action::Delete:
            return done(db_.deleteCompany(db_.companyId(req_.name).value_or(-1)));
        case DbRequest::Action::Set:
        case DbRequest::Action::List: break;
        }
        const auto list = db_.companies();
        if (!list)
            return failed();
        if (req_.json) {
            Json a = Json::array();
            for (const auto& c : *list)
                a.push_back({{"CompanyID", c.id}, {"Company", c.name}});
            print(a);
            return 0;
        }
        TextTable t;
        t.addColumn("CompanyID");
        t.addColumn("Company", TextTable::Align::Left);
        for (const auto& c : *list)
            t.addRow({std::to_string(c.id), c.name});
        std::ostringstream text;
        t.print(text);
        out_ << text.str();
        return 0;
    }

    int device()
    {
        const auto owner = companyNamed(req_.company);
        if (!owner)
            return 1;
        switch (req_.action) {
        case DbRequest::Action::Add: {
            if (const auto bad = badClass()) {
                refuse(*bad);
                return 2;
            }
            const auto added = db_.addDevice(req_.name, *owner);
            if (!added || !classGiven())
                return done(added);
            return done(setClass(db_.deviceId(req_.name, *owner).value_or(-1)));
        }
        case DbRequest::Action::Set: {
            if (const auto bad = badClass()) {
                refuse(*bad);
                return 2;
            }
            return done(setClass(db_.deviceId(req_.name, *owner).value_or(-1)));
        }
        case DbRequest::Action::Rename: {
            std::optional<int> target = owner;
            if (!req_.toCompany.empty() && !(target = companyNamed(req_.toCompany)))
                return 1;
            return done(db_.modifyDevice(db_.deviceId(req_.name, *owner).value_or(-1), req_.newName,
                                         *target));
        }
        case DbRequest::Action::Delete:
            return done(db_.deleteDevice(db_.deviceId(req_.name, *owner).value_or(-1)));
        case DbRequest::Action::List: break;
        }
        const auto list = db_.devices(*owner);
        if (!list)
            return failed();
        if (req_.json) {
            Json a = Json::array();
            for (const auto& d : *list) {
                const DeviceClass c = db_.deviceClass(d.id).value_or(DeviceClass{});
                a.push_back({{"DeviceID", d.id},
                             {"Device", d.name},
                             {"CompanyID", d.companyId},
                             {"voltageKv", c.voltageKv > 0 ? Json(c.voltageKv) : Json(nullptr)},
                             {"openBreathing", c.openBreathing},
                             {"standard", judgingStandardKey(c.standard)}});
            }
            print(a);
            return 0;
        }
        TextTable t;
        t.addColumn("DeviceID");
        t.addColumn("Device", TextTable::Align::Left);
        t.addColumn("kV");
        t.addColumn("breathing", TextTable::Align::Left);
        t.addColumn("standard", TextTable::Align::Left);
        for (const auto& d : *list) {
            const DeviceClass c = db_.deviceClass(d.id).value_or(DeviceClass{});
            char kv[32];
            std::snprintf(kv, sizeof kv, "%g", c.voltageKv);
            t.addRow({std::to_string(d.id), d.name, c.voltageKv > 0 ? kv : "-",
                      c.openBreathing ? "open" : "sealed", judgingStandardKey(c.standard)});
        }
        std::ostringstream text;
        t.print(text);
        out_ << text.str();
        return 0;
    }

    bool classGiven() const
    {
        return req_.voltageKv || req_.openBreathing || !req_.standard.empty();
    }

    std::optional<std::string> badClass() const
    {
        if (req_.voltageKv && !(std::isfinite(*req_.voltageKv) && *req_.voltageKv >= 0.0))
            return "--voltage-kv: not a voltage class in kV";
        if (!req_.standard.empty() && !judgingStandardFromKey(req_.standard))
            return "--standard " + req_.standard + ": dlt722, iec60599 or ieee-c57.104";
        return std::nullopt;
    }

    // The device's class with what the request gives changed.
    Result<void> setClass(int device)
    {
        DeviceClass c;
        if (device >= 0) {
            const auto now = db_.deviceClass(device);
            if (!now)
                return Failure{now.error()};
            c = *now;
        }
        if (req_.voltageKv)
            c.voltageKv = *req_.voltageKv;
        if (req_.openBreathing)
            c.openBreathing = *req_.openBreathing;
        if (!req_.standard.empty())
            c.standard = *judgingStandardFromKey(req_.standard);
        return db_.setDeviceClass(device, c);
    }

    int tests()
    {
        const auto owner = companyNamed(req_.company);
        if (!owner)
            return 1;
        const int device = db_.deviceId(req_.device, *owner).value_or(-1);
        if (device < 0) {
            for (const std::string& m : messages_)
                refuse(m);
            refuse("no device named \"" + req_.device + "\" of \"" + req_.company + "\"");
            return 1;
        }
        const std::time_t now = req_.now != 0 ? req_.now : std::time(nullptr);
        const TestRange range = *parseRange(req_.range);
        const auto rows = db_.queryTests(*owner, device, range, now);
        if (!rows)
            return failed();

        if (req_.json) {
            Json a = Json::array();
            for (const TestRecord& r : *rows) {
                Json row = {{"CompanyID", r.companyId},
                            {"DeviceID", r.deviceId},
                            {"BatchNo", r.batchNo},
                            {"InjectTime", r.injectTime}};
                for (size_t v = 0; v < TestRecord::ValueCount; ++v)
                    row[kTestValueColumns[v]] = jsonNumber(r.values[v]);
                row["Broken"] = r.status;
                a.push_back(std::move(row));
            }
            print({{"company", req_.company},
                   {"device", req_.device},
                   {"range", req_.range},
                   {"rangeText", rangeText(range)},
                   {"tests", a}});
            return 0;
        }
        TextTable t;
        for (const char* column : kTestRowColumns)
            t.addColumn(column, TextTable::Align::Left);
        int number = 0;
        const std::string unknown = TestRecordDatabase::kUnknownName;
        for (const TestRecord& r : *rows)
            t.addRow(testRowTexts(++number, r, db_.companyName(r.companyId).value_or(unknown),
                                  db_.deviceName(r.deviceId).value_or(unknown)));
        std::ostringstream text;
        text << rangeText(range) << ": " << rows->size() << "\n";
        t.print(text);
        out_ << text.str();
        return 0;
    }

    const DbRequest& req_;
    std::ostream& out_;
    std::ostream& err_;
    TestRecordDatabase db_;
    std::vector<std::string> messages_;
};

// --home and --json on every leaf command, so they may follow the names.
void commonOptions(CLI::App* cmd, DbRequest& r)
{
    cmd->add_option("--home", r.home, "Data root (default: DGAWS_HOME or ~/dgaws)");
    cmd->add_flag("--json", r.json, "One JSON document");
}

void leaf(CLI::App* parent, const char* name, const char* help, DbRequest::Object object,
          DbRequest::Action action, const std::shared_ptr<DbRequest>& r,
          const std::function<void(CLI::App*)>& options)
{
    CLI::App* cmd = parent->add_subcommand(name, help);
    options(cmd);
    commonOptions(cmd, *r);
    cmd->callback([r, object, action] {
        r->object = object;
        r->action = action;
        const int status = runDb(*r, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace

int runDb(const DbRequest& request, std::ostream& out, std::ostream& err)
{
    DbRun run(request, out, err);
    return run.run();
}

void addDbCommand(CLI::App& app)
{
    using O = DbRequest::Object;
    using A = DbRequest::Action;
    auto r = std::make_shared<DbRequest>();
    CLI::App* db = app.add_subcommand("db", "The test-record database: companies, devices, tests");
    db->require_subcommand(1);

    CLI::App* company = db->add_subcommand("company", "Sending companies");
    company->require_subcommand(1);
    leaf(company, "add", "Add a sending company", O::Company, A::Add, r,
         [r](CLI::App* c) { c->add_option("NAME", r->name)->required(); });
    leaf(company, "rename", "Rename a sending company", O::Company, A::Rename, r, [r](CLI::App* c) {
        c->add_option("NAME", r->name)->required();
        c->add_option("NEW", r->newName)->required();
    });
    leaf(company, "delete", "Delete a sending company that has no devices", O::Company, A::Delete,
         r, [r](CLI::App* c) { c->add_option("NAME", r->name)->required(); });
    leaf(company, "list", "List the sending companies", O::Company, A::List, r, [](CLI::App*) {});

    CLI::App* device = db->add_subcommand("device", "Devices of a sending company");
    device->require_subcommand(1);
    // The class of a device: its voltage, how it breathes and the standard it is judged by.
    const auto classOptions = [r](CLI::App* c) {
        c->add_option("--voltage-kv", r->voltageKv, "Voltage class in kV (0: not known)");
        auto* open = c->add_flag_callback(
            "--open-breathing", [r] { r->openBreathing = true; },
            "Breathes through a conservator open to the air");
        c->add_flag_callback(
             "--sealed", [r] { r->openBreathing = false; }, "Sealed from the air")
            ->excludes(open);
        c->add_option("--standard", r->standard, "dlt722, iec60599 or ieee-c57.104");
    };
    leaf(device, "add", "Add a device", O::Device, A::Add, r, [r, classOptions](CLI::App* c) {
        c->add_option("NAME", r->name)->required();
        c->add_option("--company", r->company, "Owning company")->required();
        classOptions(c);
    });
    leaf(device, "set", "Set the class a device's tests are judged by", O::Device, A::Set, r,
         [r, classOptions](CLI::App* c) {
             c->add_option("NAME", r->name)->required();
             c->add_option("--company", r->company, "Owning company")->required();
             classOptions(c);
         });
    leaf(device, "rename", "Rename a device or move it to another company", O::Device, A::Rename, r,
         [r](CLI::App* c) {
             c->add_option("NAME", r->name)->required();
             c->add_option("NEW", r->newName)->required();
             c->add_option("--company", r->company, "Owning company")->required();
             c->add_option("--to-company", r->toCompany, "New owning company");
         });
    leaf(device, "delete", "Delete a device (its tests stay)", O::Device, A::Delete, r,
         [r](CLI::App* c) {
             c->add_option("NAME", r->name)->required();
             c->add_option("--company", r->company, "Owning company")->required();
         });
    leaf(device, "list", "List the devices of a company", O::Device, A::List, r, [r](CLI::App* c) {
        c->add_option("--company", r->company, "Owning company")->required();
    });

    leaf(db, "tests", "Tests of one device, newest first", O::Tests, A::List, r, [r](CLI::App* c) {
        c->add_option("--company", r->company, "Sending company")->required();
        c->add_option("--device", r->device, "Device of that company")->required();
        c->add_option("--range", r->range, "all, year (365 days), month (30), week (7)")
            ->capture_default_str();
    });
}

}  // namespace dgaws::cli
