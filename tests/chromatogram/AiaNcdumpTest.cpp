// The exported file read by netCDF's own ncdump, an independent reader: every dimension,
// attribute and value of a small chromatogram as text.
#include "chromatogram/AiaFile.h"
#include "chromatogram/TextCodec.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace dgaws;

namespace {

#ifdef DGAWS_NCDUMP
std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    ::pclose(pipe);
    return out;
}
#endif

}  // namespace

TEST(CdfNcdump, ExportedFileAsNetcdfReadsIt)
{
#ifndef DGAWS_NCDUMP
    GTEST_SKIP() << "ncdump (netcdf-bin) is not installed";
#else
    test::TempDir dir;
    ChromatogramData d;
    d.signal.assign({1.5f, -2.25f, 1000.0f, 3.0f, 0.5f});
    d.hasData = 1;
    d.pointsPerSecond = 2;
    d.method.levelMax = 10.0;
    d.method.levelMin = -0.5;
    d.method.deviceNo = "T-1";
    d.method.tester = "li";
    d.method.serialNo = "2013062301";
    d.method.calcMethod = 2;
    d.injectionTime = OleDateTime::fromCivil(2013, 6, 23, 8, 5, 30);
    PeakRecord p;
    p.startIndex = 1;
    p.apexIndex = 2;
    p.endIndex = 3;
    p.baselineStartIndex = 0;
    p.baselineEndIndex = 4;
    p.retentionTime = 2 / 2.0 / 60;
    p.halfWidth = 0.005;
    p.area = 16;
    p.areaPercent = 80;
    p.height = 997;
    p.tailingFactor = 1.25;
    p.baselineStartValue = 1.5f;
    p.baselineEndValue = 0.5f;
    p.typeFlags = 0x2;  // ends in a valley: code 4
    d.peaks.append(p);
    p.typeFlags = 0x1;  // begins in a valley: code 6
    p.area = 4;
    p.areaPercent = 20;
    p.startIndex = 3;
    p.endIndex = 4;
    p.apexIndex = 3;
    p.retentionTime = 3 / 2.0 / 60;
    d.peaks.append(p);
    exportCdf(d, dir.path("golden.cdf"), "/data/T-1.chg");

    std::string expected = "netcdf golden {\n"
                           "dimensions:\n"
                           "\t_2_byte_string = 2 ;\n"
                           "\t_4_byte_string = 4 ;\n"
                           "\t_8_byte_string = 8 ;\n"
                           "\t_16_byte_string = 16 ;\n"
                           "\t_32_byte_string = 32 ;\n"
                           "\t_64_byte_string = 64 ;\n"
                           "\t_128_byte_string = 128 ;\n"
                           "\t_255_byte_string = 255 ;\n"
                           "\tpoint_number = 5 ;\n"
                           "\tpeak_number = 2 ;\n"
                           "\terror_number = 1 ;\n"
                           "variables:\n"
                           "\tfloat detector_maximum_value ;\n"
                           "\tfloat detector_minimum_value ;\n"
                           "\tfloat actual_run_time_length ;\n"
                           "\tfloat actual_delay_time ;\n"
                           "\tfloat actual_sampling_interval ;\n"
                           "\tfloat ordinate_values(point_number) ;\n"
                           "\t\tordinate_values:uniform_sampling_flag = \"Y\" ;\n"
                           "\t\tordinate_values:autosampler_position = \"1.101\" ;\n"
                           "\tfloat peak_retention_time(peak_number) ;\n"
                           "\tfloat peak_start_time(peak_number) ;\n"
                           "\tfloat peak_end_time(peak_number) ;\n"
                           "\tfloat peak_width(peak_number) ;\n"
                           "\tfloat peak_area(peak_number) ;\n"
                           "\tfloat peak_area_percent(peak_number) ;\n"
                           "\tfloat peak_height(peak_number) ;\n"
                           "\tfloat peak_height_percent(peak_number) ;\n"
                           "\tfloat peak_asymmetry(peak_number) ;\n"
                           "\tfloat baseline_start_time(peak_number) ;\n"
                           "\tfloat baseline_start_value(peak_number) ;\n"
                           "\tfloat baseline_stop_time(peak_number) ;\n"
                           "\tfloat baseline_stop_value(peak_number) ;\n"
                           "\tchar peak_start_detection_code(peak_number, _2_byte_string) ;\n"
                           "\tchar peak_stop_detection_code(peak_number, _2_byte_string) ;\n"
                           "\tfloat migration_time(peak_number) ;\n"
                           "\tfloat peak_area_square_root(peak_number) ;\n"
                           "\tshort manually_reintegrated_peaks(peak_number) ;\n"
                           "\n"
                           "// global attributes:\n"
                           "\t\t:dataset_completeness = \"C1+C2\" ;\n"
                           "\t\t:aia_template_revision = \"1.0\" ;\n"
                           "\t\t:netcdf_revision = \"3.6.1\" ;\n"
                           "\t\t:languages = \"English only\" ;\n"
                           "\t\t:injection_date_time_stamp = \"20130623080530+0800\" ;\n"
                           "\t\t:experiment_title = \"T-1\" ;\n"
                           "\t\t:operator_name = \"li\" ;\n"
                           "\t\t:separation_experiment_type = \"chromatography\" ;\n"
                           "\t\t:source_file_reference = \"/data/T-1.chg\" ;\n"
                           "\t\t:sample_name = \"T-1\" ;\n"
                           "\t\t:sample_id = \"2013062301\" ;\n"
                           "\t\t:detector_unit = \"uV\" ;\n"
                           "\t\t:detection_method_name = \"@METHOD@\" ;\n"
                           "\t\t:detector_name = \"li\" ;\n"
                           "\t\t:retention_unit = \"seconds\" ;\n"
                           "data:\n"
                           "\n"
                           " detector_maximum_value = 10000 ;\n"
                           "\n"
                           " detector_minimum_value = -500 ;\n"
                           "\n"
                           " actual_run_time_length = 2 ;\n"
                           "\n"
                           " actual_delay_time = 0 ;\n"
                           "\n"
                           " actual_sampling_interval = 0.5 ;\n"
                           "\n"
                           " ordinate_values = 1.5, -2.25, 1000, 3, 0.5 ;\n"
                           "\n"
                           " peak_retention_time = 1, 1.5 ;\n"
                           "\n"
                           " peak_start_time = 0.5, 1.5 ;\n"
                           "\n"
                           " peak_end_time = 1.5, 2 ;\n"
                           "\n"
                           " peak_width = 0.3, 0.3 ;\n"
                           "\n"
                           " peak_area = 16, 4 ;\n"
                           "\n"
                           " peak_area_percent = 80, 20 ;\n"
                           "\n"
                           " peak_height = 997, 997 ;\n"
                           "\n"
                           " peak_height_percent = 80, 20 ;\n"
                           "\n"
                           " peak_asymmetry = 1.25, 1.25 ;\n"
                           "\n"
                           " baseline_start_time = 0, 0 ;\n"
                           "\n"
                           " baseline_start_value = 1.5, 1.5 ;\n"
                           "\n"
                           " baseline_stop_time = 2, 2 ;\n"
                           "\n"
                           " baseline_stop_value = 0.5, 0.5 ;\n"
                           "\n"
                           " peak_start_detection_code =\n"
                           "  \"V \",\n"
                           "  \"V \" ;\n"
                           "\n"
                           " peak_stop_detection_code =\n"
                           "  \"V \",\n"
                           "  \"B \" ;\n"
                           "\n"
                           " migration_time = 1, 1.5 ;\n"
                           "\n"
                           " peak_area_square_root = 4, 2 ;\n"
                           "\n"
                           " manually_reintegrated_peaks = 0, 0 ;\n"
                           "}\n";
    expected.replace(expected.find("@METHOD@"), 8, utf8ToGbk("内标法"));
    EXPECT_EQ(run(std::string(DGAWS_NCDUMP) + " '" + dir.path("golden.cdf") + "'"), expected);
    EXPECT_EQ(run(std::string(DGAWS_NCDUMP) + " -k '" + dir.path("golden.cdf") + "'"), "classic\n");
#endif
}
